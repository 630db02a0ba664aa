#include "tests/job/JobProcess.h"

#include "tests/support/OtherRunner.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace jobtest {

namespace {

constexpr std::string_view kProgress = "Progress: ";

std::vector<std::string> RunnerCommand() { return testsupport::RunnerCommand(ZENDRIK_JOB_EXE); }

}  // namespace

bool RunsTheWindowsRunner() { return RunnerCommand().front() != ZENDRIK_JOB_EXE; }

std::vector<std::string> JobResult::PlainLines() const
{
    std::vector<std::string> plain;
    for (const std::string& line : lines)
        if (!line.starts_with(kProgress))
            plain.push_back(line);
    return plain;
}

std::vector<int> JobResult::ProgressPercents() const
{
    std::vector<int> percents;
    for (const std::string& line : lines)
        if (line.starts_with(kProgress) && line.ends_with('%'))
            percents.push_back(std::stoi(line.substr(kProgress.size())));
    return percents;
}

std::vector<std::string> JobResult::PlainTitles() const
{
    std::vector<std::string> plain;
    for (const std::string& title : titles)
        if (title.find("(Progress: ") == std::string::npos)
            plain.push_back(title);
    return plain;
}

std::vector<std::string> JobResult::ProgressTitles() const
{
    std::vector<std::string> progress;
    for (const std::string& title : titles)
        if (title.find("(Progress: ") != std::string::npos)
            progress.push_back(title);
    return progress;
}

std::string Title(const std::string& tag) { return "Orvane Systems Zendrik - " + tag; }

JobProcess::JobProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
    : process_(
          [&] {
              std::vector<std::string> argv = RunnerCommand();
              argv.insert(argv.end(), arguments.begin(), arguments.end());
              return argv;
          }(),
          {.env = environment,
           .wholeEnvironment = true,
           .out = testsupport::ChildOutput::Pipe(),
           .err = testsupport::ChildOutput::Pipe()})
{
}

std::string JobProcess::CommandLineAsOthersReadIt() const
{
    if (!RunsTheWindowsRunner()) {
        std::ifstream cmdline("/proc/" + std::to_string(Pid()) + "/cmdline", std::ios::binary);
        return {std::istreambuf_iterator<char>(cmdline), std::istreambuf_iterator<char>()};
    }
    // The Unix process under Wine keeps its own arguments, beyond the program's reach;
    // Windows programs read the command line from the process, as the helper beside the
    // runner does, by program name.
    std::vector<std::string> helper = RunnerCommand();
    helper.back() = (std::filesystem::path(helper.back()).parent_path() / "zendrik2-show-command-line.exe").string();
    helper.emplace_back("zendrik2-job.exe");
    return testsupport::CommandOutput(helper);
}

JobResult JobProcess::Finish(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    process_.ReadToEnd(deadline);
    // Both outputs have ended; the process may still be on its way out.
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const std::optional<int> status = process_.WaitForExit(std::max(left, std::chrono::milliseconds(0)));
    if (!status)
        process_.Kill();
    return {process_.OutLines(), process_.ErrLines(), status.value_or(-1)};
}

}  // namespace jobtest
