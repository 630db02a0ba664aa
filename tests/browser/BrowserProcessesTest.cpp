// A program with a browser leaves no browser processes behind: a child run of this
// suite loads one page and ends, and then every process of its group must end too.
// The child also reports how long its first page took.

#include "platform/win32/Utf.h"
#include "tests/browser/BrowserTestSupport.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using browsertest::BaseUrlW;
using browsertest::PumpUntil;

namespace {

const auto kProcessStart = std::chrono::steady_clock::now();

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool GroupIsGone(pid_t group) { return ::kill(-group, 0) != 0 && errno == ESRCH; }

// Runs only inside the child started below.
TEST(BrowserChild, DISABLED_LoadsOnePage)
{
    const auto created = std::chrono::steady_clock::now();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "child", wxPoint(0, 0), wxSize(800, 600));
    auto browser = std::make_unique<WebKitBrowser>(frame);
    frame->Show();
    browsertest::RecordingEvents events;
    browser->SetEventSink(&events);
    const std::u16string page = Utf8ToUtf16(std::getenv("ZENDRIK_BROWSER_CHILD_PAGE"));
    browser->Navigate(page);
    ASSERT_TRUE(PumpUntil([&] { return events.Completed(page); }));
    std::printf("first loaded document: %.0f ms after the browser was created, %.0f ms after the process started\n",
                MillisecondsSince(created), MillisecondsSince(kProcessStart));
    std::fflush(stdout);
    browser.reset();
    frame->Destroy();
    PumpUntil([] { return wxTopLevelWindows.empty(); });
}

TEST(BrowserProcesses, EndWithTheProgram)
{
    const std::string page = "ZENDRIK_BROWSER_CHILD_PAGE=" + Utf16ToUtf8(BaseUrlW("web")) + "/";
    std::vector<std::string> environment{"ZENDRIK_BROWSER_CHILD=1", page};
    for (char** variable = environ; *variable != nullptr; ++variable)
        environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe", filter = "--gtest_filter=BrowserChild.DISABLED_LoadsOnePage",
                disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {self.data(), filter.data(), disabled.data(), nullptr};

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, self.c_str(), nullptr, &attributes, argv, envp.data());
    posix_spawnattr_destroy(&attributes);
    ASSERT_EQ(spawned, 0);

    int status = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (::waitpid(child, &status, WNOHANG) != child) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-child, SIGKILL);
            ::waitpid(child, &status, 0);
            FAIL() << "the child run did not end";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const auto ended = std::chrono::steady_clock::now();
    while (!GroupIsGone(child) && std::chrono::steady_clock::now() - ended < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const bool gone = GroupIsGone(child);
    if (!gone)
        ::kill(-child, SIGKILL);
    EXPECT_TRUE(gone) << "browser processes outlived the program";
}

}  // namespace
