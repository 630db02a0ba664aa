#pragma once
// The main dialog's logic, free of the window toolkit: the job fields and the run mode
// from the command line, the state shared with the worker thread, the handling of the
// login browser's three messages, and the job sequence the worker runs. The window
// (or the headless runner) shows it through a DialogView and drives it from its user
// interface thread.

#include "app/CommandLineOptions.h"
#include "app/DialogView.h"
#include "app/UploadJob.h"
#include "login/LoginSession.h"
#include "social/JobContext.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class CZendrik2Dlg : public social::JobContext {
public:
    // Parses the arguments into the job and fixes the mode for the whole run.
    CZendrik2Dlg(const std::vector<std::u16string>& arguments, CLoginSession& loginBrowser);
    // The worker must have finished (workerBusy false) before the dialog goes.
    ~CZendrik2Dlg() override;
    CZendrik2Dlg(const CZendrik2Dlg&) = delete;
    CZendrik2Dlg& operator=(const CZendrik2Dlg&) = delete;

    void AttachView(DialogView* view) { m_view = view; }

    // Reporting, from any thread.
    void AppendLog(const std::u16string& line) override;
    void SetStatusTag(const std::u16string& tag) override;
    bool IsCancelRequested() override;
    void RequestCancel(bool cancel);
    const std::u16string& AccessToken() const override { return m_accessToken; }

    // The login browser's messages, on the user interface thread.
    void OnLoginFinished();
    void OnLoginAttemptFailed();
    void OnLoginNotice(std::unique_ptr<std::u16string> notice);

    // The user interface thread's side of the shared state.
    std::optional<std::u16string> TakeNextLogLine();
    bool IsWorkerBusy();
    void ResetSharedState();

    // The worker.
    static unsigned UploadThreadProc(CZendrik2Dlg* dialog);
    void RunUploadJob();
    // The id the job produced (photo, video or timeline post); empty when it produced none.
    std::u16string JobResultId() const;

    // The operations, as the job sequence calls them; each returns "" on failure.
    std::u16string GetUserName();
    std::u16string GetUserId();
    std::u16string FindOrCreateAlbum(const std::u16string& albumName, const std::u16string& description);
    std::u16string UploadPhoto(const std::u16string& filePath, const std::u16string& albumId,
                               const std::u16string& caption);
    std::u16string UploadVideo(const std::u16string& filePath, const std::u16string& userId,
                               const std::u16string& description);
    std::u16string UploadGif(const std::u16string& filePath);
    std::u16string PostLinkToTimeline(const std::u16string& link, const std::u16string& message);

    UploadJob job;
    bool interactive = true;
    bool loginPending = false;

private:
    void StartWorker();
    void RunJobSteps();
    void UploadStillImage();
    void LogOut();

    CLoginSession& m_loginBrowser;
    DialogView* m_view = nullptr;
    std::u16string m_accessToken;

    // Guarded by UiLock.
    std::deque<std::u16string> LogQueue;
    bool workerBusy = false;
    bool cancelRequested = false;
    std::u16string m_jobResultId;

    std::thread m_worker;
};
