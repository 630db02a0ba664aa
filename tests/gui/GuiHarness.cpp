#include "tests/gui/GuiHarness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace guitest {

namespace {

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
        : argv(std::move(arguments)), env(std::move(environment)), argp(Pointers(argv)), envp(Pointers(env))
    {
    }
    std::vector<std::string> argv;
    std::vector<std::string> env;
    std::vector<char*> argp;
    std::vector<char*> envp;
};

// In the child: never outlive the test, take the given descriptors, run.
[[noreturn]] void Exec(const ExecPlan& plan, int out, int err)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::setpgid(0, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execvpe(plan.argp[0], plan.argp.data(), plan.envp.data());
    ::_exit(127);
}

int OpenForWriting(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

std::optional<std::string> QuotedValue(const std::string& line)
{
    const std::size_t first = line.find('"');
    const std::size_t last = line.rfind('"');
    if (first == std::string::npos || last <= first)
        return std::nullopt;
    std::string value;
    for (std::size_t i = first + 1; i < last; ++i) {
        if (line[i] == '\\' && i + 1 < last)
            ++i;
        value += line[i];
    }
    return value;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                           const std::string& stdoutFile, const std::string& stderrFile)
{
    const ExecPlan plan(argv, MergedEnvironment(env));
    const int out = OpenForWriting(stdoutFile);
    const int err = OpenForWriting(stderrFile);
    pid_ = ::fork();
    if (pid_ == 0)
        Exec(plan, out, err);
    ::close(out);
    ::close(err);
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
}

ChildProcess::~ChildProcess()
{
    if (Running()) {
        ::kill(pid_, SIGKILL);
        WaitForExit(std::chrono::seconds(10));
    }
}

void ChildProcess::Signal(int signal) const
{
    if (pid_ > 0)
        ::kill(pid_, signal);
}

bool ChildProcess::Running() { return !WaitForExit(std::chrono::milliseconds(0)).has_value(); }

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!status_) {
        int raw = 0;
        const pid_t got = ::waitpid(pid_, &raw, WNOHANG);
        if (got == pid_)
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        else if (Clock::now() >= deadline)
            break;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

std::string CommandOutput(const std::vector<std::string>& argv, const std::vector<std::string>& env)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const ExecPlan plan(argv, MergedEnvironment(env));
    const int quiet = OpenForWriting("/dev/null");
    const pid_t pid = ::fork();
    if (pid == 0)
        Exec(plan, ends[1], quiet);
    ::close(ends[1]);
    ::close(quiet);
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(got));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return output;
}

XServer::XServer()
{
    int ends[2];
    if (::pipe(ends) != 0)
        throw std::runtime_error("pipe failed");
    const int quiet = OpenForWriting("/dev/null");
    const ExecPlan plan({"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0", "1920x1080x24", "-nolisten",
                         "tcp", "-noreset"},
                        MergedEnvironment({}));
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(ends[0]);
        Exec(plan, quiet, quiet);
    }
    ::close(ends[1]);
    ::close(quiet);
    std::string number;
    pollfd waiting{ends[0], POLLIN, 0};
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
        if (::poll(&waiting, 1, 200) <= 0)
            continue;
        char buffer[64];
        const ssize_t got = ::read(ends[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(ends[0]);
    if (number.find('\n') == std::string::npos)
        throw std::runtime_error("Xvfb did not report its display");
    display_ = ":" + number.substr(0, number.find('\n'));
}

XServer::~XServer()
{
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}

TitleWatch::TitleWatch(const XServer& server, unsigned long window)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const ExecPlan plan({"xprop", "-spy", "-id", std::to_string(window), "_NET_WM_NAME"},
                        MergedEnvironment(server.Environment()));
    const int quiet = OpenForWriting("/dev/null");
    pid_ = ::fork();
    if (pid_ == 0)
        Exec(plan, ends[1], quiet);
    ::close(ends[1]);
    ::close(quiet);
    fd_ = ends[0];
    reader_ = std::thread([this] { Read(fd_); });
}

TitleWatch::~TitleWatch()
{
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    reader_.join();
    ::close(fd_);
}

void TitleWatch::Read(int fd)
{
    std::string pending;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::optional<std::string> title = QuotedValue(pending.substr(0, end));
            if (!title)
                continue;
            std::lock_guard<std::mutex> hold(lock_);
            // Two changes read back as one value show twice; keep each once.
            if (titles_.empty() || titles_.back().first != *title)
                titles_.emplace_back(*title, Clock::now());
            changed_.notify_all();
        }
    }
}

std::vector<std::string> TitleWatch::Titles() const
{
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<std::string> titles;
    for (const auto& [title, when] : titles_)
        titles.push_back(title);
    return titles;
}

bool TitleWatch::WaitFor(const std::string& part, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, timeout, [&] {
        for (const auto& [title, when] : titles_) {
            if (title.find(part) != std::string::npos)
                return true;
        }
        return false;
    });
}

std::optional<Clock::time_point> TitleWatch::SeenAt(const std::string& part) const
{
    std::lock_guard<std::mutex> hold(lock_);
    for (auto it = titles_.rbegin(); it != titles_.rend(); ++it) {
        if (it->first.find(part) != std::string::npos)
            return it->second;
    }
    return std::nullopt;
}

bool InOrder(const std::vector<std::string>& titles, const std::vector<std::string>& expected)
{
    std::size_t next = 0;
    for (const std::string& title : titles) {
        if (next < expected.size() && title.find(expected[next]) != std::string::npos)
            ++next;
    }
    return next == expected.size();
}

std::string Joined(const std::vector<std::string>& titles)
{
    std::string joined;
    for (const std::string& title : titles)
        joined += "\n  " + title;
    return joined;
}

ProgramRun::ProgramRun(const XServer& server, const std::vector<std::string>& arguments,
                       const std::vector<std::string>& env, const std::filesystem::path& outputDir)
    : server_(server),
      stderrFile_(outputDir / "zendrik2.err"),
      process_(
          [&] {
              std::vector<std::string> argv{ZENDRIK_GUI_EXE};
              argv.insert(argv.end(), arguments.begin(), arguments.end());
              return argv;
          }(),
          [&] {
              std::vector<std::string> all = server.Environment();
              all.insert(all.end(), env.begin(), env.end());
              return all;
          }(),
          (outputDir / "zendrik2.out").string(), stderrFile_.string())
{
    const std::string pid = std::to_string(process_.Pid());
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (window_ == 0 && Clock::now() < deadline && process_.Running()) {
        std::istringstream found(
            CommandOutput({"xdotool", "search", "--onlyvisible", "--pid", pid}, server.Environment()));
        unsigned long window = 0;
        if (found >> window)
            window_ = window;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (window_ != 0)
        titles_ = std::make_unique<TitleWatch>(server, window_);
}

ProgramRun::~ProgramRun()
{
    if (process_.Running())
        Close(std::chrono::seconds(10));
}

std::optional<int> ProgramRun::Close(std::chrono::milliseconds timeout)
{
    process_.Signal(SIGTERM);
    return process_.WaitForExit(timeout);
}

std::string ProgramRun::Stderr() const
{
    std::ifstream in(stderrFile_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<WindowGeometry> GeometryOf(const XServer& server, unsigned long window)
{
    const std::string text =
        CommandOutput({"xdotool", "getwindowgeometry", "--shell", std::to_string(window)}, server.Environment());
    WindowGeometry geometry;
    int found = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string name = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (name == "X")
            geometry.x = value, ++found;
        else if (name == "Y")
            geometry.y = value, ++found;
        else if (name == "WIDTH")
            geometry.width = value, ++found;
        else if (name == "HEIGHT")
            geometry.height = value, ++found;
    }
    if (found != 4)
        return std::nullopt;
    return geometry;
}

}  // namespace guitest
