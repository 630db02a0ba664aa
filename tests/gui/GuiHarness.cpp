#include "tests/gui/GuiHarness.h"

#include "tests/support/OtherRunner.h"

#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace guitest {

namespace {

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

std::vector<std::string> WindowCommand() { return testsupport::RunnerCommand(ZENDRIK_GUI_EXE, "ZENDRIK_GUI_RUNNER"); }

}  // namespace

bool RunsTheWindowsWindow() { return WindowCommand().front() != ZENDRIK_GUI_EXE; }

TitleWatch::TitleWatch(const XServer& server, unsigned long window)
    : process_({"xprop", "-spy", "-id", std::to_string(window), "_NET_WM_NAME"},
               {.env = server.Environment(), .out = ChildOutput::Pipe()}),
      reader_([this] { Read(process_.OutFd()); })
{
}

TitleWatch::~TitleWatch()
{
    process_.Kill();
    reader_.join();
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
      serverIdle_(!server.ResetsOnLastClient() || server.WaitUntilIdle(std::chrono::seconds(30))),
      process_(
          [&] {
              std::vector<std::string> argv = WindowCommand();
              argv.insert(argv.end(), arguments.begin(), arguments.end());
              return argv;
          }(),
          {.env =
               [&] {
                   std::vector<std::string> all = server.Environment();
                   all.insert(all.end(), env.begin(), env.end());
                   return all;
               }(),
           .out = ChildOutput::File((outputDir / "zendrik2.out").string()),
           .err = ChildOutput::File(stderrFile_.string())})
{
    const std::string pid = std::to_string(process_.Pid());
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    // Where the program must be the display's only client, the search (a client too) waits
    // until it has its own connection.
    while (server.ResetsOnLastClient() && server.ClientCount() == 0 && Clock::now() < deadline && process_.Running())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
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
    if (RunsTheWindowsWindow())
        CommandOutput({"wine", "taskkill", "/im", std::filesystem::path(WindowCommand().back()).filename().string()});
    else
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
