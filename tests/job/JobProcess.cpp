#include "tests/job/JobProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace jobtest {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

void MoveCompleteLines(std::string& pending, std::vector<std::string>& lines)
{
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
        lines.push_back(pending.substr(0, end));
}

// Reads what is there; closes and forgets the descriptor at the end of the output.
void Drain(int& fd, std::string& pending, std::vector<std::string>& lines)
{
    char buffer[65536];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        close(fd);
        fd = -1;
        if (!pending.empty())
            lines.push_back(pending);  // a last line without its line end
        pending.clear();
        return;
    }
    pending.append(buffer, static_cast<std::size_t>(got));
    MoveCompleteLines(pending, lines);
}

constexpr std::string_view kProgress = "Progress: ";

}  // namespace

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
{
    std::vector<std::string> argv{ZENDRIK_JOB_EXE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env(environment);
    auto argp = Pointers(argv);
    auto envp = Pointers(env);
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");

    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execve(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    stdout_ = out[0];
    stderr_ = err[0];
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
}

JobProcess::~JobProcess()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (stdout_ >= 0)
        close(stdout_);
    if (stderr_ >= 0)
        close(stderr_);
}

bool JobProcess::ReadSome(std::chrono::steady_clock::time_point deadline)
{
    if (stdout_ < 0 && stderr_ < 0)
        return false;
    pollfd fds[2] = {{stdout_, POLLIN, 0}, {stderr_, POLLIN, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (poll(fds, 2, static_cast<int>(std::max<long long>(0, left.count()))) <= 0)
        return true;
    if (fds[0].revents != 0)
        Drain(stdout_, pendingOut_, result_.lines);
    if (fds[1].revents != 0)
        Drain(stderr_, pendingErr_, result_.titles);
    return true;
}

bool JobProcess::WaitForLine(const std::function<bool(const std::string&)>& predicate,
                             std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (; linesSeen_ < result_.lines.size(); ++linesSeen_)
            if (predicate(result_.lines[linesSeen_]))
                return true;
        if (std::chrono::steady_clock::now() >= deadline || !ReadSome(deadline))
            return false;
    }
}

void JobProcess::Signal(int signal) const { kill(pid_, signal); }

JobResult JobProcess::Finish(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline && ReadSome(deadline)) {
    }
    // Both outputs have ended; the process may still be on its way out.
    int status = 0;
    bool ended = false;
    while (!(ended = waitpid(pid_, &status, WNOHANG) == pid_) && std::chrono::steady_clock::now() < deadline)
        usleep(5000);
    if (ended) {
        result_.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        result_.exitStatus = -1;
    }
    pid_ = -1;
    return result_;
}

}  // namespace jobtest
