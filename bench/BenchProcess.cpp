#include "BenchProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace bench {

RunFigures RunTimed(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
                    const testsupport::ChildOutput& errors)
{
    const auto start = std::chrono::steady_clock::now();
    testsupport::ChildProcess child(argv, {.env = extraEnv, .err = errors});
    RunFigures figures;
    figures.exitStatus = child.WaitForExit(std::chrono::hours(1)).value_or(-1);
    figures.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.peakRssKiB = child.PeakRssKiB();
    return figures;
}

void PairedRuns::Add(const RunFigures& measured, const RunFigures& curl)
{
    measured_.push_back(measured.wallSeconds);
    curl_.push_back(curl.wallSeconds);
    peakRssKiB_ = std::max(peakRssKiB_, measured.peakRssKiB);
}

double PairedRuns::Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::optional<PairedRuns> Alternate(int rounds, std::uint64_t mebibytes, const std::string& name,
                                    const std::function<RunFigures()>& measured, const std::vector<std::string>& curl)
{
    PairedRuns runs;
    for (int round = 0; round < rounds; ++round) {
        const RunFigures measuredRun = measured();
        const RunFigures curlRun = RunTimed(curl);
        if (measuredRun.exitStatus != 0 || curlRun.exitStatus != 0) {
            std::printf("%6llu MiB  failed: %s exit %d, curl exit %d\n", static_cast<unsigned long long>(mebibytes),
                        name.c_str(), measuredRun.exitStatus, curlRun.exitStatus);
            return std::nullopt;
        }
        runs.Add(measuredRun, curlRun);
    }
    return runs;
}

// It says "PORT n" once listening, and ends when its standard input closes.
DiscardServer::DiscardServer(const std::string& executable)
    : process_({executable},
               {.inputPipe = true, .out = testsupport::ChildOutput::Pipe(), .err = testsupport::ChildOutput::Inherit()})
{
    const auto saysPort = [](const std::string& line) { return line.starts_with("PORT "); };
    if (!process_.WaitForLine(saysPort, std::chrono::seconds(30)))
        throw std::runtime_error("the discard server did not say its port");
    const std::vector<std::string>& lines = process_.OutLines();
    port_ = static_cast<std::uint16_t>(std::stoul(std::find_if(lines.begin(), lines.end(), saysPort)->substr(5)));
}

DiscardServer::~DiscardServer()
{
    process_.CloseInput();
    process_.WaitForExit(std::chrono::seconds(30));
}

std::vector<std::uint64_t> SizesInMiB(int argc, char** argv)
{
    std::vector<std::uint64_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {64, 256};
    return sizes;
}

void ForgetProxies()
{
    for (const char* proxy : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        ::unsetenv(proxy);
}

ScratchFile::ScratchFile(const std::string& name, std::uint64_t bytes)
{
    char pattern[] = "/tmp/zendrik-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    path_ = dir_ + "/" + name;
    FILE* file = std::fopen(path_.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path_);
    std::vector<std::uint64_t> block(8192);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (std::uint64_t written = 0; written < bytes;) {
        for (auto& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const std::uint64_t chunk = std::min<std::uint64_t>(bytes - written, block.size() * sizeof(block[0]));
        std::fwrite(block.data(), 1, chunk, file);
        written += chunk;
    }
    std::fclose(file);
}

ScratchFile::~ScratchFile() { std::filesystem::remove_all(dir_); }

}  // namespace bench
