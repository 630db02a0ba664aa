#pragma once
// The main dialog's logic, free of the window toolkit: the job fields and the run mode
// from the command line, the state shared with the worker thread, the handling of the
// login browser's three messages, and the job sequence the worker runs. The window
// (or the headless runner) shows it through a DialogView and drives it from its user
// interface thread; the windowed program also hands its events (initialisation, timer,
// buttons, close, end) to the handlers below, which answer through a DialogWindow.

#include "app/BackgroundCheck.h"
#include "app/CommandLineOptions.h"
#include "app/DialogLayout.h"
#include "app/DialogView.h"
#include "app/DialogWindow.h"
#include "app/UploadJob.h"
#include "login/LoginSession.h"
#include "social/JobContext.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class LoginBrowserControl;

// How far the unattended start has come: the connection test runs on a thread of its own,
// so that a close while it waits on a stalled server ends the program at once.
enum class UnattendedStart { TestingConnection, LoggingIn, NoConnection };

class CZendrik2Dlg : public social::JobContext {
public:
    // Parses the arguments into the job and fixes the mode for the whole run.
    CZendrik2Dlg(const std::vector<std::u16string>& arguments, CLoginSession& loginBrowser);
    // The worker must have finished (workerBusy false) before the dialog goes.
    ~CZendrik2Dlg() override;
    CZendrik2Dlg(const CZendrik2Dlg&) = delete;
    CZendrik2Dlg& operator=(const CZendrik2Dlg&) = delete;

    void AttachView(DialogView* view) { m_view = view; }
    // The windowed program: its window and the login browser living in it. The browser
    // is also the session the constructor was given.
    void AttachWindow(DialogWindow* window, LoginBrowserControl* browser);
    // The headless runner is unattended whatever the command line says: nobody is there
    // to answer, and the login waits for the token the runner was given.
    void MakeUnattended();

    // The run's start and end, shared by the window and the headless runner. A run
    // starts afresh: no session of an earlier run, no cancel left over.
    void BeginSession();
    // Unattended mode: the window's surface when there is a window, the connection test,
    // then the login. Without a connection the title says so.
    UnattendedStart StartUnattended();
    // While the connection test runs, polled: the login once it has answered.
    UnattendedStart ContinueUnattended();
    // The guest's logout, should the job have left the session open, and the browser
    // session's end.
    void EndSession();
    // Asks the running job to stop, saying so in the log the first time.
    void AbortRunningJob();

    // The user interface's handlers, on its thread.
    void OnInitDialog();  // after the controls exist; the window starts the timer afterwards
    void OnTimer();       // every 500 ms
    void OnUploadButton();
    void OnCancel();  // Escape, the window's close command, SIGTERM
    void OnBrowse();
    void OnAbout();
    void OnDestroy();  // once, when the modal loop has ended
    bool IsClosing() const { return m_closing; }
    bool IsInteractive() const { return m_interactive; }
    bool IsLoginPending() const { return m_loginPending; }
    LayoutState CurrentLayoutState() const;
    // The job as the command line gives it; the view's data exchange writes the form's fields.
    const UploadJob& Job() const { return m_job; }
    UploadJob& Job() { return m_job; }

    // For tests: the clock of the watchdog (seconds since 1970) and the connection test.
    void SetClock(std::function<std::int64_t()> clock) { m_clock = std::move(clock); }
    void SetConnectionTest(std::function<bool()> test) { m_connectionTest = std::move(test); }
    // Unattended mode: starts the connection test while the window and its browser start.
    void StartConnectionTestEarly();

    // Reporting, from any thread.
    void AppendLog(const std::u16string& line) override;
    void SetStatusTag(const std::u16string& tag) override;
    bool IsCancelRequested() override;
    void RequestCancel(bool cancel);
    const std::u16string& AccessToken() const override { return m_accessToken; }
    Tavik::CHttpRequestAbort* RequestAbort() const override { return &m_requestAbort; }

    // The login browser's messages, on the user interface thread.
    void OnLoginFinished();
    void OnLoginAttemptFailed();
    void OnLoginNotice(std::unique_ptr<std::u16string> notice);

    // The user interface thread's side of the shared state.
    // Every queued line, in one hold.
    std::deque<std::u16string> TakeQueuedLogLines();
    bool IsWorkerBusy();
    void ResetSharedState();

    // The worker.
    static unsigned UploadThreadProc(CZendrik2Dlg* dialog);
    void RunUploadJob();
    // The id the job produced (photo, video or timeline post); empty when it produced none.
    std::u16string JobResultId() const;

    // The operations, as the job sequence calls them; each returns "" on failure.
    std::u16string GetGuestName();
    std::u16string GetUserId();
    std::u16string FindOrCreateAlbum(const std::u16string& albumName, const std::u16string& description);
    std::u16string UploadPhoto(const std::u16string& filePath, const std::u16string& albumId,
                               const std::u16string& caption);
    std::u16string UploadVideo(const std::u16string& filePath, const std::u16string& userId,
                               const std::u16string& description);
    std::u16string UploadGif(const std::u16string& filePath);
    std::u16string PostLinkToTimeline(const std::u16string& link, const std::u16string& message);

    // The watchdog closes the dialog this long after the title last changed.
    static constexpr std::int64_t WatchdogSeconds = 120;

private:
    void DrainLogQueue();
    void EndOfRunTick();
    void CancelledLoginTick();
    void WatchdogTick();
    void OnUploadCaption();
    void OnCancelCaption();
    void StartLogin(const std::u16string& address);
    void CloseDialog();
    void LayOut();
    void StartWorker();
    void RunJobSteps();
    void UploadStillImage();
    void LogOut();

    UploadJob m_job;
    bool m_interactive = true;
    bool m_loginPending = false;

    // The watchdog's record of the last title change (unattended mode).
    std::u16string m_lastTitle;
    std::int64_t m_lastTitleTime = 0;

    CLoginSession& m_loginBrowser;
    DialogView* m_view = nullptr;
    DialogWindow* m_window = nullptr;
    LoginBrowserControl* m_browser = nullptr;
    std::function<std::int64_t()> m_clock;
    std::function<bool()> m_connectionTest;
    BackgroundCheck m_startupConnectionTest;
    UnattendedStart m_unattendedStart = UnattendedStart::TestingConnection;
    bool m_closing = false;
    bool m_abortRequested = false;
    std::u16string m_accessToken;

    // Guarded by UiLock.
    std::deque<std::u16string> LogQueue;
    bool workerBusy = false;
    bool cancelRequested = false;
    bool m_loggingOut = false;  // the worker's logout request is in flight
    std::u16string m_jobResultId;
    std::u16string m_statusTag;             // the last tag SetStatusTag was asked for
    bool m_statusTagSet = false;            // (the empty tag is a tag too)
    bool m_collapseQueuedProgress = false;  // once a window shows the log

    // Mutable: handing it to the operations changes nothing the dialog shows.
    mutable Tavik::CHttpRequestAbort m_requestAbort;
    // The logout after the job is a request of its own, which the cancel that ended the
    // job must not end; a close while it waits ends it.
    Tavik::CHttpRequestAbort m_logoutAbort;

    std::thread m_worker;
};
