#include "tests/browser/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace {

// Xvfb writes the display number and a newline to the descriptor once it accepts.
std::string ReadDisplayNumber(int fd)
{
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, 200) <= 0)
            continue;
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got <= 0)
            throw std::runtime_error("Xvfb ended before naming its display");
        if (c == '\n')
            return number;
        number.push_back(c);
    }
    throw std::runtime_error("Xvfb did not name its display in time");
}

void Stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    for (int waited = 0; waited < 100; ++waited) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

}  // namespace

XvfbServer::XvfbServer()
{
    int ends[2];
    if (::pipe(ends) != 0)
        throw std::runtime_error("pipe failed");
    const std::string fd = std::to_string(ends[1]);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(ends[0]);
        // It reports every display it finds taken on its way to a free one.
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet >= 0)
            ::dup2(quiet, STDERR_FILENO);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
                              nullptr};
        ::execvp(argv[0], const_cast<char**>(argv));
        ::_exit(127);
    }
    ::close(ends[1]);
    if (pid_ < 0) {
        ::close(ends[0]);
        throw std::runtime_error("fork failed");
    }
    try {
        display_ = ":" + ReadDisplayNumber(ends[0]);
    } catch (...) {
        ::close(ends[0]);
        Stop(pid_);
        throw;
    }
    ::close(ends[0]);
    if (const char* old = std::getenv("DISPLAY")) {
        hadDisplay_ = true;
        previousDisplay_ = old;
    }
    ::setenv("DISPLAY", display_.c_str(), 1);
}

XvfbServer::~XvfbServer()
{
    Stop(pid_);
    if (hadDisplay_)
        ::setenv("DISPLAY", previousDisplay_.c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}
