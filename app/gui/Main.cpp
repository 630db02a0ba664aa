// zendrik2: the photo-booth uploader's window. See README.md for the options.

#include "app/CloseSignals.h"
#include "app/CommandLineOptions.h"
#include "app/PasswordArgument.h"
#include "app/ProductNames.h"
#include "app/ProgramInfo.h"
#include "app/gui/DisplayCheck.h"
#include "app/gui/ToolkitLog.h"
#include "app/gui/Zendrik2App.h"

#include <wx/debug.h>

#ifdef _WIN32
#include <windows.h>
#else
#include "browser/WebRendering.h"

#include <sys/stat.h>
#endif

#include <clocale>
#include <csignal>
#include <cstdio>

namespace {

// A booth has nobody to answer the toolkit's own assertion boxes: they go to stderr.
void ReportAssertion(const wxString& file, int line, const wxString& function, const wxString& condition,
                     const wxString& message)
{
    std::fprintf(stderr, "%s:%d: %s: assertion %s failed: %s\n", file.utf8_str().data(), line,
                 function.utf8_str().data(), condition.utf8_str().data(), message.utf8_str().data());
}

// What wxEntry returns when the toolkit's start failed.
constexpr int ToolkitStartFailed = -1;

#ifdef _WIN32
// A windowed program gets no console: typed at a prompt, --version would print nowhere.
// Output that a host redirects is left where it goes.
void PrintToTheCallersConsole()
{
    if (::GetStdHandle(STD_OUTPUT_HANDLE) != nullptr || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}
#else
void PrintToTheCallersConsole() {}
#endif

}  // namespace

int main(int argc, char** argv)
{
    if (const InfoRequest info = InfoRequestOf(argc, argv); info != InfoRequest::None) {
        PrintToTheCallersConsole();
        return PrintProgramInfo(info, InfoProgram::Window);
    }
    std::setlocale(LC_ALL, "");
    UseProductNames();
    LogToolkitMessagesToStderr();
    DisplayConnection display;
    if (!display.Open())
        return 1;
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);
    // The browser's processes inherit it: the session cookie file, the cache and every
    // other file they write for a guest are the user's alone, whatever mode the browser
    // library asks for.
    ::umask(077);
    DrawPagesWithoutCompositing();
#endif
    InstallCloseSignals();
    wxSetAssertHandler(ReportAssertion);
    // Taken before the toolkit sees the command line.
    wxApp::SetInstance(new CZendrik2App(ProgramArguments(argc, argv), display));
    HidePasswordArguments(argc, argv);
    const int status = wxEntry(argc, argv);
    if (status == ToolkitStartFailed) {
        std::fprintf(stderr, "zendrik2: no display: the window toolkit could not start on it\n");
        return 1;
    }
    return status;
}
