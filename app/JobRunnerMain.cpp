// zendrik2-job: the program's job sequence without a window, for integration tests,
// benchmarks and scripted booths. Same options as the program; the access token comes
// from ZENDRIK_ACCESS_TOKEN, never from the command line. Always unattended: it never
// asks. Every log line goes to standard output as the window's list would show it (a
// progress line repeating the one before it is left out), each new window
// title to standard error. SIGINT and SIGTERM cancel the job as the window's cancel
// button does. Exits 0 when the job produced its id (photo, video or post), else 1.

#include "app/BackgroundCheck.h"
#include "app/CloseSignals.h"
#include "app/CommandLineOptions.h"
#include "app/HeadlessView.h"
#include "app/LogListBox.h"
#include "app/PasswordArgument.h"
#include "app/ProductNames.h"
#include "app/ProgramInfo.h"
#include "app/Settings.h"
#include "app/Zendrik2Dlg.h"
#include "login/BrowserWebData.h"
#include "login/LoginSession.h"
#include "platform/win32/Utf.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <thread>
#include <vector>

namespace {

// Prints the log as the window's list would show it: every line, except a progress
// line that repeats the one printed before it. The queue is taken whole, in one hold: an
// upload appends a line for every step, and taking them one by one kept the worker
// waiting for the lock.
class LogPrinter {
public:
    void PrintQueuedLines(CZendrik2Dlg& dialog)
    {
        const std::deque<std::u16string> lines = dialog.TakeQueuedLogLines();
        for (const std::u16string& line : lines) {
            if (IsProgressLine(line) && line == m_lastPrinted)
                continue;
            std::string bytes = Utf16ToUtf8(line);
            bytes += '\n';
            std::fwrite(bytes.data(), 1, bytes.size(), stdout);
            m_lastPrinted = line;
        }
        if (!lines.empty())
            std::fflush(stdout);
    }

private:
    std::u16string m_lastPrinted;
};

// The user interface thread's part: show the log as it grows, pass a signal on as the
// cancel button would, and wait for the worker's last line.
void ServeUntilTheWorkerEnds(CZendrik2Dlg& dialog)
{
    LogPrinter printer;
    for (;;) {
        printer.PrintQueuedLines(dialog);
        if (!dialog.IsWorkerBusy())
            break;
        // Every signal is passed on: a second one also ends the logout's wait.
        if (TakeCloseSignal())
            dialog.AbortRunningJob();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    printer.PrintQueuedLines(dialog);
}

// The connection test runs on a thread of its own; a signal while it waits on a stalled
// server ends the run at once.
bool ConnectionTestPassed(CZendrik2Dlg& dialog)
{
    UnattendedStart start = dialog.StartUnattended();
    while (start == UnattendedStart::TestingConnection) {
        if (TakeCloseSignal())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        start = dialog.ContinueUnattended();
    }
    return start == UnattendedStart::LoggingIn;
}

int RunJob(const std::vector<std::u16string>& arguments)
{
    CLoginSession loginBrowser;
    CZendrik2Dlg dialog(arguments, loginBrowser);
    dialog.MakeUnattended();
    HeadlessView view;
    dialog.AttachView(&view);

    dialog.BeginSession();
    if (!ConnectionTestPassed(dialog))
        return 1;
    // The token stands for the login the window's browser would carry out.
    if (const char* token = std::getenv("ZENDRIK_ACCESS_TOKEN"))
        loginBrowser.SetAccessToken(Utf8ToUtf16(token));
    dialog.OnLoginFinished();
    ServeUntilTheWorkerEnds(dialog);
    dialog.EndSession();
    return dialog.JobResultId().empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (const InfoRequest info = InfoRequestOf(argc, argv); info != InfoRequest::None)
        return PrintProgramInfo(info, InfoProgram::Job);
    std::setlocale(LC_ALL, "");
#ifdef _WIN32
    // The same bytes as on Linux: a host reading the lines gets no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    UseProductNames();
    InstallCloseSignals();
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif

    const std::vector<std::u16string> arguments = ProgramArguments(argc, argv);
    HidePasswordArguments(argc, argv);

    const bool deleteCookies = ShouldDeleteFacebookCookies();
    if (deleteCookies)
        DeleteGuestWebData();
    const int status = RunJob(arguments);
    if (deleteCookies)
        DeleteGuestWebData();
    EndAtOnceIfChecksRun(status);
    return status;
}
