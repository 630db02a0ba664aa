// The headless runner's whole video job (greeting, user id, upload in 1024-byte steps
// with a progress line and a status tag before each, logout) against `curl -F` of the
// same file to the same stand-in service, which reads and discards upload bodies
// unparsed so that it is not what is measured.
//
//   job_bench [MiB ...]          (default: 64 256)
//
// Prints both wall times, their ratio and the runner's peak RSS for each size. The
// runner's log lines go to /dev/null, and so do its window titles.

#include "BenchProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

const std::string kToken = "bench-token";
// The job sequence waits this long after showing "(logged in)", whatever the upload.
constexpr double kLoggedInPause = 0.5;

// The stand-in in discard mode; its standard output goes to a file, read up to READY.
class DiscardingStandin {
public:
    DiscardingStandin()
    {
        char pattern[] = "/tmp/zendrik-job-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        const std::string output = (folder_ / "standin.out").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<std::string> args{ZENDRIK_STANDIN_EXE, "--discard-uploads", "--token", kToken};
        std::vector<char*> argp;
        for (std::string& arg : args)
            argp.push_back(arg.data());
        argp.push_back(nullptr);
        const int rc = posix_spawn(&pid_, argp[0], &actions, nullptr, argp.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            throw std::runtime_error("cannot start the stand-in");
        ReadUntilReady(output);
    }
    ~DiscardingStandin()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    DiscardingStandin(const DiscardingStandin&) = delete;
    DiscardingStandin& operator=(const DiscardingStandin&) = delete;

    const std::vector<std::string>& Environment() const { return env_; }
    std::string Variable(const std::string& name) const
    {
        for (const std::string& entry : env_)
            if (entry.starts_with(name + "="))
                return entry.substr(name.size() + 1);
        throw std::runtime_error("the stand-in printed no " + name);
    }

private:
    void ReadUntilReady(const std::string& output)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream in(output);
            std::vector<std::string> env;
            for (std::string line; std::getline(in, line);) {
                if (line == "READY") {
                    env_ = env;
                    return;
                }
                if (line.starts_with("env "))
                    env.push_back(line.substr(4));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        throw std::runtime_error("the stand-in did not print READY");
    }

    std::filesystem::path folder_;
    pid_t pid_ = -1;
    std::vector<std::string> env_;
};

// Standard error goes to /dev/null while it lives (the runner's window titles).
class QuietStandardError {
public:
    QuietStandardError() : saved_(dup(STDERR_FILENO))
    {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    ~QuietStandardError()
    {
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int saved_;
};

void Measure(const DiscardingStandin& standin, const std::filesystem::path& home, std::uint64_t mebibytes)
{
    bench::ScratchFile file("clip.mp4", mebibytes << 20);
    std::vector<std::string> env = standin.Environment();
    env.push_back("ZENDRIK_ACCESS_TOKEN=" + kToken);
    env.push_back("HOME=" + home.string());
    env.push_back("XDG_CONFIG_HOME=" + (home / "config").string());
    env.push_back("XDG_DATA_HOME=" + (home / "data").string());

    const std::string url = "https://" + standin.Variable("ZENDRIK_GRAPH_VIDEO_HOST") + "/v2.12/" ZENDRIK_BENCH_USER_ID
                            "/videos";
    constexpr int kRounds = 5;
    bench::PairedRuns runs;
    for (int round = 0; round < kRounds; ++round) {
        bench::RunFigures runner;
        {
            const QuietStandardError quiet;
            runner = bench::RunTimed({ZENDRIK_JOB_EXE, "-bBench", "-f" + file.Path()}, env);
        }
        const auto curl = bench::RunTimed({"curl", "-sS", "--noproxy", "*", "--cacert",
                                           standin.Variable("ZENDRIK_CA_FILE"), "-o", "/dev/null", "-F",
                                           "access_token=" + kToken, "-F", "description=Bench", "-F",
                                           "source=@" + file.Path(), url});
        if (runner.exitStatus != 0 || curl.exitStatus != 0) {
            std::printf("%6llu MiB  failed: runner exit %d, curl exit %d\n",
                        static_cast<unsigned long long>(mebibytes), runner.exitStatus, curl.exitStatus);
            return;
        }
        runs.Add(runner, curl);
    }
    const double runnerMedian = runs.MeasuredMedian();
    const double curlMedian = runs.CurlMedian();
    std::printf("%6llu MiB  runner %7.3f s  curl -F %7.3f s  ratio %5.2f  (%5.2f without the job's %.1f s pause)"
                "  runner peak RSS %6.1f MiB  (medians of %d runs)\n",
                static_cast<unsigned long long>(mebibytes), runnerMedian, curlMedian, runnerMedian / curlMedian,
                (runnerMedian - kLoggedInPause) / curlMedian, kLoggedInPause, runs.PeakRssKiB() / 1024.0, kRounds);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    // Only the stand-in on this machine is talked to.
    for (const char* proxy : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        unsetenv(proxy);
    std::vector<std::uint64_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {64, 256};

    const DiscardingStandin standin;
    char pattern[] = "/tmp/zendrik-job-bench-home-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    const std::filesystem::path home = pattern;
    std::printf("zendrik2-job video job (1024-byte steps, a log line and a title per step) vs curl -F,\n"
                "stand-in discarding upload bodies\n");
    for (const auto size : sizes)
        Measure(standin, home, size);
    std::filesystem::remove_all(home);
    return 0;
}
