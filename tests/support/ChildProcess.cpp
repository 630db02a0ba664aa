#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <stdexcept>

extern char** environ;

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra)
{
    std::map<std::string, std::string> byName;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        byName[text.substr(0, text.find('='))] = text;
    }
    for (const std::string& text : extra)
        byName[text.substr(0, text.find('='))] = text;
    std::vector<std::string> merged;
    for (const auto& [name, text] : byName)
        merged.push_back(text);
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Everything the child needs, made before the fork: after it only async-signal-safe
// calls happen (other threads of the test may hold the allocator's lock).
struct ExecPlan {
    ExecPlan(std::vector<std::string> arguments, std::vector<std::string> environment)
        : argv(std::move(arguments)),
          env(std::move(environment)),
          argp(Pointers(argv)),
          envp(Pointers(env))
    {
    }
    std::vector<std::string> argv;
    std::vector<std::string> env;
    std::vector<char*> argp;
    std::vector<char*> envp;
};

// The two ends of one standard stream: the child's, and the one this side keeps.
struct StreamEnds {
    int child = -1;
    int parent = -1;
};

StreamEnds OpenOutput(const ChildOutput& output)
{
    if (output.kind == ChildOutput::Kind::Inherit)
        return {};
    if (output.kind == ChildOutput::Kind::File)
        return {::open(output.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), -1};
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    return {ends[1], ends[0]};
}

StreamEnds OpenInput(bool pipe)
{
    int ends[2];
    if (!pipe || ::pipe2(ends, O_CLOEXEC) != 0)
        return {};
    return {ends[0], ends[1]};
}

// In the child: never outlive the test, lead a group of its own, take the streams, run.
[[noreturn]] void Exec(const ExecPlan& plan, const StreamEnds (&streams)[3])
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::setpgid(0, 0);
    for (int fd = 0; fd < 3; ++fd) {
        if (streams[fd].child >= 0)
            ::dup2(streams[fd].child, fd);
    }
    ::execvpe(plan.argp[0], plan.argp.data(), plan.envp.data());
    ::_exit(127);
}

void CloseIfOpen(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildSetup& setup)
{
    const ExecPlan plan(argv, setup.wholeEnvironment ? setup.env : MergedEnvironment(setup.env));
    StreamEnds streams[3] = {OpenInput(setup.inputPipe), OpenOutput(setup.out), OpenOutput(setup.err)};
    pid_ = ::fork();
    if (pid_ == 0)
        Exec(plan, streams);
    for (StreamEnds& stream : streams)
        CloseIfOpen(stream.child);
    input_ = streams[0].parent;
    out_.fd = streams[1].parent;
    err_.fd = streams[2].parent;
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    ::setpgid(pid_, pid_);  // the group exists before either side goes on
    pidFd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0)
        Kill();
    CloseIfOpen(pidFd_);
    CloseIfOpen(input_);
    CloseIfOpen(out_.fd);
    CloseIfOpen(err_.fd);
}

// Once it has been waited for, its number may belong to another process, and so may
// the group's: what it left running is no longer ours to end.
void ChildProcess::Kill()
{
    if (status_)
        return;
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    WaitForExit(std::chrono::seconds(10));
}

void ChildProcess::Signal(int signal) const
{
    if (pid_ > 0 && !status_)
        ::kill(pid_, signal);
}

bool ChildProcess::Running() { return !WaitForExit(std::chrono::milliseconds(0)).has_value(); }

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!status_ && pid_ > 0) {
        int raw = 0;
        if (::wait4(pid_, &raw, WNOHANG, &usage_) == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            break;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        // The process descriptor wakes this at the exit; without one, look again soon.
        pollfd exited{pidFd_, POLLIN, 0};
        ::poll(&exited, 1, static_cast<int>(pidFd_ >= 0 ? left : std::min<long long>(left, 20)));
    }
    return status_;
}

std::optional<int> ChildProcess::Stop(std::chrono::milliseconds timeout)
{
    Signal(SIGTERM);
    if (const auto status = WaitForExit(timeout))
        return status;
    Kill();
    return std::nullopt;
}

void ChildProcess::CloseInput() { CloseIfOpen(input_); }

// Reads what is there; closes and forgets the descriptor at the end of the output.
void ChildProcess::Pipe::Drain()
{
    char buffer[65536];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        CloseIfOpen(fd);
        if (!pending.empty())
            lines.push_back(pending);
        pending.clear();
        return;
    }
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
        lines.push_back(pending.substr(0, end));
}

bool ChildProcess::ReadSome(Clock::time_point deadline)
{
    if (out_.fd < 0 && err_.fd < 0)
        return false;
    pollfd fds[2] = {{out_.fd, POLLIN, 0}, {err_.fd, POLLIN, 0}};
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (::poll(fds, 2, static_cast<int>(std::max<long long>(0, left))) <= 0)
        return true;
    if (fds[0].revents != 0)
        out_.Drain();
    if (fds[1].revents != 0)
        err_.Drain();
    return true;
}

bool ChildProcess::WaitForLine(const std::function<bool(const std::string&)>& predicate,
                               std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        for (; linesSeen_ < out_.lines.size(); ++linesSeen_) {
            if (predicate(out_.lines[linesSeen_]))
                return true;
        }
        if (Clock::now() >= deadline || !ReadSome(deadline))
            return false;
    }
}

void ChildProcess::ReadToEnd(Clock::time_point deadline)
{
    while (Clock::now() < deadline && ReadSome(deadline)) {
    }
}

std::string CommandOutput(const std::vector<std::string>& argv, const std::vector<std::string>& env)
{
    ChildProcess command(argv, {.env = env, .out = ChildOutput::Pipe()});
    command.ReadToEnd(Clock::now() + std::chrono::minutes(1));
    command.WaitForExit(std::chrono::seconds(10));
    std::string output;
    for (const std::string& line : command.OutLines())
        output += line + "\n";
    return output;
}

}  // namespace testsupport
