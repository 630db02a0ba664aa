// The browser tests' main: a private X server, a temporary home (settings, cookies),
// the stand-in service, the test authority trusted, then wx, then the tests. A child
// run (ZENDRIK_BROWSER_CHILD set, see BrowserProcessesTest.cpp) inherits all of that
// from its parent and starts only wx.

#include "tests/browser/BrowserTestSupport.h"
#include "tests/browser/XvfbServer.h"
#include "tests/support/ScopedUserDirs.h"
#include "tests/support/StandinProcess.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/toplevel.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace {

void ExportStandinEnvironment(const testsupport::StandinProcess& standin)
{
    for (const std::string& line : standin.Lines()) {
        if (!line.starts_with("env "))
            continue;
        const std::string assignment = line.substr(4);
        const std::size_t equals = assignment.find('=');
        ::setenv(assignment.substr(0, equals).c_str(), assignment.substr(equals + 1).c_str(), 1);
    }
}

// A failed wx assertion fails the test instead of waiting for someone to answer its dialog.
void FailOnAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                  const wxString& message)
{
    ADD_FAILURE_AT(file.utf8_string().c_str(), line) << "wx assertion in " << function.utf8_string() << ": "
                                                     << condition.utf8_string() << " " << message.utf8_string();
}

int RunWithWx(int argc, char** argv)
{
    wxSetAssertHandler(FailOnAssert);
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::cerr << "wx did not start\n";
        return 1;
    }
    int result = 1;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        result = RUN_ALL_TESTS();
        for (wxWindow* window : wxTopLevelWindows)
            window->Destroy();
        browsertest::PumpUntil([] { return wxTopLevelWindows.empty(); }, std::chrono::seconds(10));
    }
    wxEntryCleanup();
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    ::setenv("NO_AT_BRIDGE", "1", 1);
    ::setenv("GDK_BACKEND", "x11", 1);
    if (std::getenv("ZENDRIK_BROWSER_CHILD") != nullptr)
        return RunWithWx(argc, argv);

    const ScopedUserDirs dirs;
    browsertest::TheWorld().home = dirs.Root();
    const XvfbServer xvfb;
    testsupport::StandinProcess standin;
    browsertest::TheWorld().standin = &standin;
    ExportStandinEnvironment(standin);
    const int result = RunWithWx(argc, argv);
    browsertest::TheWorld().standin = nullptr;
    return result;
}
