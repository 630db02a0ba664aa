// The WebBrowser control behind the login's browser interface, on the Windows build under
// Wine: it is created, and a page it cannot load completes with its address (the error
// page's document), so that the login sees a page that is not its form rather than waiting
// for one. Wine has no engine to draw pages with: what pages do, the Linux build's browser
// suite checks on WebKitGTK.

#include "browser/IeBrowser.h"
#include "platform/win32/Utf.h"
#include "tests/support/WireServer.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Events : BrowserEvents {
    void OnBeforeNavigate(const std::u16string& address) override { before.push_back(address); }
    void OnNavigateComplete(const std::u16string&) override {}
    void OnDocumentComplete(const std::u16string& address) override { completed.push_back(address); }
    bool OnNewWindow() override { return true; }
    bool OnWindowClosing() override { return true; }

    std::vector<std::u16string> before, completed;
};

bool PumpUntil(const std::function<bool()>& done)
{
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        loop.DispatchTimeout(10);
    }
    return true;
}

TEST(IeBrowser, IsCreatedAndAPageItCannotLoadCompletesWithItsAddress)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "IeBrowser", wxDefaultPosition, wxSize(640, 480));
    {
        Events events;
        IeBrowser browser(frame);
        ASSERT_NE(browser.View(), nullptr);
        ASSERT_NE(browser.View()->GetNativeBackend(), nullptr) << "no WebBrowser control";
        browser.SetEventSink(&events);
        const std::u16string address = u"https://localhost:" +
                                       Utf8ToUtf16(std::to_string(testsupport::UnusedLocalPort())) +
                                       u"/login.php?skip_api_login=1";
        browser.Navigate(address);
        ASSERT_TRUE(PumpUntil([&] { return !events.completed.empty(); })) << "no document after a refused connection";
        EXPECT_EQ(events.completed, std::vector<std::u16string>{address});
        EXPECT_EQ(events.before, std::vector<std::u16string>{address});
    }
    frame->Destroy();
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new wxApp);
    wxInitializer toolkit(argc, argv);
    if (!toolkit.IsOk()) {
        std::fprintf(stderr, "ie_browser_test: the window toolkit did not start\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
