#include "BenchProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace bench {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (auto& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra)
{
    std::vector<std::string> env(extra);
    for (char** e = environ; *e != nullptr; ++e)
        env.emplace_back(*e);
    return env;
}

}  // namespace

RunFigures RunTimed(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, bool quiet)
{
    std::vector<std::string> args(argv);
    std::vector<std::string> env = EnvironmentWith(extraEnv);
    auto argp = Pointers(args);
    auto envp = Pointers(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + argv[0]);

    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) < 0)
        throw std::runtime_error("wait4 failed");
    const auto end = std::chrono::steady_clock::now();

    RunFigures figures;
    figures.wallSeconds = std::chrono::duration<double>(end - start).count();
    figures.peakRssKiB = usage.ru_maxrss;
    figures.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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

DiscardServer::DiscardServer(const std::string& executable)
{
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    std::vector<std::string> args{executable};
    auto argp = Pointers(args);
    const int rc = posix_spawn(&pid_, executable.c_str(), &actions, nullptr, argp.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    stdinFd_ = toChild[1];
    if (rc != 0)
        throw std::runtime_error("cannot start " + executable);

    FILE* out = fdopen(fromChild[0], "r");
    unsigned port = 0;
    const bool read = out != nullptr && std::fscanf(out, "PORT %u", &port) == 1;
    if (out != nullptr)
        std::fclose(out);
    if (!read)
        throw std::runtime_error("the discard server did not say its port");
    port_ = static_cast<std::uint16_t>(port);
}

DiscardServer::~DiscardServer()
{
    if (stdinFd_ >= 0)
        close(stdinFd_);
    if (pid_ > 0)
        waitpid(pid_, nullptr, 0);
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
