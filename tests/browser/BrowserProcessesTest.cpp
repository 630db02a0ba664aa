// A program with a browser leaves no browser processes behind: a child run of this
// suite loads one page and ends, and then every process of its group must end too.
// The child also reports how long its first page took.

#include "platform/win32/Utf.h"
#include "tests/browser/BrowserTestSupport.h"
#include "tests/support/ChildProcess.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

using browsertest::BaseUrlW;
using browsertest::PumpUntil;

namespace {

const auto kProcessStart = std::chrono::steady_clock::now();

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

bool GroupIsGone(pid_t group)
{
    return ::kill(-group, 0) != 0 && errno == ESRCH;
}

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
    testsupport::ChildProcess child(
        {"/proc/self/exe", "--gtest_filter=BrowserChild.DISABLED_LoadsOnePage", "--gtest_also_run_disabled_tests"},
        {.env = {"ZENDRIK_BROWSER_CHILD=1", page},
         .out = testsupport::ChildOutput::Inherit(),
         .err = testsupport::ChildOutput::Inherit()});
    const std::optional<int> status = child.WaitForExit(std::chrono::seconds(120));
    ASSERT_TRUE(status.has_value()) << "the child run did not end";
    EXPECT_EQ(*status, 0);

    const auto ended = std::chrono::steady_clock::now();
    while (!GroupIsGone(child.Pid()) && std::chrono::steady_clock::now() - ended < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(GroupIsGone(child.Pid())) << "browser processes outlived the program";
}

}  // namespace
