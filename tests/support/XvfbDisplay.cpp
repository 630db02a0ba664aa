#include "tests/support/XvfbDisplay.h"

#include <sys/syscall.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testsupport {
namespace {

std::vector<std::string> XvfbArguments(XvfbReset reset)
{
    std::vector<std::string> argv{"Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"};
    if (reset == XvfbReset::Never)
        argv.push_back("-noreset");
    return argv;
}

// /proc/net/unix: "Num RefCount Protocol Flags Type St Inode Path". A connection the server
// accepted carries the listening socket's path and the connected state (03).
bool IsAcceptedConnection(const std::string& line, const std::string& socketPath)
{
    std::istringstream fields(line);
    std::string num, refCount, protocol, flags, type, state, inode, path;
    if (!(fields >> num >> refCount >> protocol >> flags >> type >> state >> inode >> path))
        return false;
    if (state != "03")
        return false;
    return path == socketPath || path == "@" + socketPath;
}

template <typename Condition>
bool PollUntil(Condition condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

// Xvfb writes the display number and a newline to its standard output once it accepts;
// it reports every display it finds taken on its way to a free one on standard error.
XvfbDisplay::XvfbDisplay(XvfbReset reset) : reset_(reset), process_(XvfbArguments(reset), {.out = ChildOutput::Pipe()})
{
    if (!process_.WaitForLine([](const std::string&) { return true; }, std::chrono::seconds(30)))
        throw std::runtime_error("Xvfb did not name its display");
    display_ = ":" + process_.OutLines().front();
}

XvfbDisplay::~XvfbDisplay() { process_.Stop(std::chrono::seconds(10)); }

int XvfbDisplay::ClientCount() const
{
    const std::string socketPath = "/tmp/.X11-unix/X" + display_.substr(1);
    std::ifstream table("/proc/net/unix");
    int count = 0;
    for (std::string line; std::getline(table, line);) {
        if (IsAcceptedConnection(line, socketPath))
            ++count;
    }
    return count;
}

// Between its last client's leaving and the end of the reset the server does not go back
// to waiting for events: asleep in that wait with no client, it has finished.
bool XvfbDisplay::Sleeping() const
{
    std::ifstream file("/proc/" + std::to_string(process_.Pid()) + "/syscall");
    long number = -1;
    if (!(file >> number))
        return false;
    return number == SYS_epoll_wait || number == SYS_epoll_pwait || number == SYS_poll || number == SYS_ppoll ||
           number == SYS_select || number == SYS_pselect6;
}

bool XvfbDisplay::WaitUntilIdle(std::chrono::milliseconds timeout) const
{
    return PollUntil([this] { return ClientCount() == 0 && Sleeping(); }, timeout);
}

}  // namespace testsupport
