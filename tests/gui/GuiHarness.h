#pragma once
// Driving zendrik2 from outside, as a photo-booth host does: an X server of the suite's
// own (Xvfb on a free display), the program started with a command line and an
// environment, its window found by its process id and its title followed as the X
// server reports each change (xprop -spy), and the close command (SIGTERM). With
// ZENDRIK_GUI_RUNNER set ("wine;build-win/bin/zendrik2.exe") the same cases drive the
// Windows build's window under Wine, closed as a Windows host closes it: WM_CLOSE, sent
// by taskkill without /F.

#include "tests/support/ChildProcess.h"
#include "tests/support/XvfbDisplay.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace guitest {

using Clock = std::chrono::steady_clock;

using testsupport::ChildOutput;
using testsupport::ChildProcess;
using testsupport::CommandOutput;

using XServer = testsupport::XvfbDisplay;

// Whether the cases drive the Windows build's window.
bool RunsTheWindowsWindow();

#define SKIP_FOR_THE_WINDOWS_WINDOW(reason)                                                                            \
    if (RunsTheWindowsWindow())                                                                                        \
    GTEST_SKIP() << "the Windows window under Wine: " << reason

// What the WebBrowser control cannot do under Wine, which has no engine to draw pages
// with: each navigation ends in NavigateError. The Linux build's cases prove the login.
inline constexpr char kNoPagesUnderWine[] = "no page renders (Wine has no engine for the WebBrowser control)";

// Every value the window's _NET_WM_NAME takes, in order, from the moment it is found.
class TitleWatch {
public:
    TitleWatch(const XServer& server, unsigned long window);
    ~TitleWatch();
    TitleWatch(const TitleWatch&) = delete;
    TitleWatch& operator=(const TitleWatch&) = delete;

    std::vector<std::string> Titles() const;
    // Waits until a title holding `part` has been seen; true when it was.
    bool WaitFor(const std::string& part, std::chrono::milliseconds timeout) const;
    // When the last title holding `part` was first seen.
    std::optional<Clock::time_point> SeenAt(const std::string& part) const;

private:
    void Read(int fd);

    ChildProcess process_;
    std::thread reader_;
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<std::pair<std::string, Clock::time_point>> titles_;
};

// The names in `expected` appear in `titles` in this order (others may lie between).
bool InOrder(const std::vector<std::string>& titles, const std::vector<std::string>& expected);
std::string Joined(const std::vector<std::string>& titles);

// zendrik2 on the suite's X server.
class ProgramRun {
public:
    ProgramRun(const XServer& server, const std::vector<std::string>& arguments, const std::vector<std::string>& env,
               const std::filesystem::path& outputDir);
    ~ProgramRun();

    // Its main window (mapped, with a title), found within the time; 0 otherwise.
    unsigned long Window() const { return window_; }
    TitleWatch& Titles() { return *titles_; }
    ChildProcess& Process() { return process_; }
    // The host's close command (SIGTERM, or WM_CLOSE for the Windows window), then the
    // exit status within the time (nullopt if it did not end).
    std::optional<int> Close(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    std::string Stderr() const;

private:
    const XServer& server_;
    std::filesystem::path stderrFile_;
    // Before the start: a server that resets on its last client has finished resetting.
    bool serverIdle_;
    ChildProcess process_;
    unsigned long window_ = 0;
    std::unique_ptr<TitleWatch> titles_;
};

// "Position: X,Y" and "Geometry: WxH" of a window as xdotool reports them.
struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};
std::optional<WindowGeometry> GeometryOf(const XServer& server, unsigned long window);

}  // namespace guitest
