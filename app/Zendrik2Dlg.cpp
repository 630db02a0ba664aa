#include "app/Zendrik2Dlg.h"

#include "app/ConnectionTest.h"
#include "app/FileKind.h"
#include "app/LogListBox.h"
#include "app/MessageBoxCaption.h"
#include "app/UiLock.h"
#include "httpclient/HttpClientException.h"
#include "platform/win32/WideText.h"
#include "social/SocialOperations.h"

#include <chrono>
#include <string>

namespace {

// FindOrCreateAlbum marks an album the user may not upload to with a "/" after its id.
bool IsReadOnlyAlbumId(const std::u16string& albumId) { return albumId.find(u'/', 1) != std::u16string::npos; }

}  // namespace

CZendrik2Dlg::CZendrik2Dlg(const std::vector<std::u16string>& arguments, CLoginSession& loginBrowser)
    : m_loginBrowser(loginBrowser),
      m_clock([] {
          return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
              .count();
      }),
      m_connectionTest(InternetConnectionAvailable)
{
    CommandLineOptions options = CommandLineOptions::FromArguments(arguments);
    m_job = std::move(options.job);
    m_interactive = options.interactive;
    m_loginPending = options.loginPending;
    AdoptMessageBoxCaptionForMode(m_interactive);
}

CZendrik2Dlg::~CZendrik2Dlg()
{
    if (m_worker.joinable())
        m_worker.join();
}

void CZendrik2Dlg::AppendLog(const std::u16string& line)
{
    std::lock_guard<std::mutex> hold(UiLock);
    // An upload appends a progress line for every KiB, each percentage some 2,600 times:
    // one repeating the line still queued before it changes nothing anyone sees. The
    // window's list shows only the newest of a run of progress lines, so there an older
    // one at the end of the queue gives way to a newer one too; the headless runner
    // keeps every percentage.
    if (IsProgressLine(line) && !LogQueue.empty() && IsProgressLine(LogQueue.back())) {
        if (LogQueue.back() == line)
            return;
        if (m_collapseQueuedProgress) {
            LogQueue.back() = line;
            return;
        }
    }
    LogQueue.push_back(line);
}

void CZendrik2Dlg::SetStatusTag(const std::u16string& tag)
{
    if (m_interactive || m_view == nullptr)
        return;
    {
        // An upload repeats the same tag for every step; only a change is worth a wait
        // for the user interface thread, or even a title made of it.
        std::lock_guard<std::mutex> hold(UiLock);
        if (m_statusTagSet && tag == m_statusTag)
            return;
        m_statusTag = tag;
        m_statusTagSet = true;
    }
    m_view->SetWindowTitle(tag.empty() ? u"Orvane Systems Zendrik" : u"Orvane Systems Zendrik - " + tag);
}

bool CZendrik2Dlg::IsCancelRequested()
{
    std::lock_guard<std::mutex> hold(UiLock);
    return cancelRequested;
}

void CZendrik2Dlg::RequestCancel(bool cancel)
{
    {
        std::lock_guard<std::mutex> hold(UiLock);
        cancelRequested = cancel;
    }
    if (cancel)
        m_requestAbort.Abort();
    else
        m_requestAbort.Reset();
}

std::deque<std::u16string> CZendrik2Dlg::TakeQueuedLogLines()
{
    std::deque<std::u16string> lines;
    std::lock_guard<std::mutex> hold(UiLock);
    lines.swap(LogQueue);
    return lines;
}

bool CZendrik2Dlg::IsWorkerBusy()
{
    std::lock_guard<std::mutex> hold(UiLock);
    return workerBusy;
}

void CZendrik2Dlg::ResetSharedState()
{
    {
        std::lock_guard<std::mutex> hold(UiLock);
        cancelRequested = false;
    }
    m_requestAbort.Reset();
    std::lock_guard<std::mutex> hold(UiLock);
    workerBusy = false;
}

std::u16string CZendrik2Dlg::JobResultId() const
{
    std::lock_guard<std::mutex> hold(UiLock);
    return m_jobResultId;
}

void CZendrik2Dlg::OnLoginFinished()
{
    if (m_closing)
        return;  // posted before the close; no worker may start under a closing window
    m_accessToken = m_loginBrowser.AccessToken();
    m_loginPending = false;
    if (!m_interactive && m_view != nullptr)
        m_view->MoveOffScreen();
    if (m_view != nullptr)
        m_view->LayOutControls();
    if (!m_accessToken.empty()) {
        {
            std::lock_guard<std::mutex> hold(UiLock);
            workerBusy = true;
        }
        StartWorker();
        return;
    }
    std::u16string error = m_loginBrowser.LoginError();
    if (error.empty())
        error = u"No access token";
    AppendLog(u"Error logging in: " + error);
    AppendLog(u"Photo upload abandoned");
    AppendLog(u"");
    AppendLog(u"Please press the 'Close' button to exit");
    SetStatusTag(u"(error: Error: " + error + u")");
}

void CZendrik2Dlg::OnLoginAttemptFailed()
{
    SetStatusTag(u"(login failed)");
    if (!m_interactive && m_view != nullptr)
        m_view->MoveOffScreen();
}

void CZendrik2Dlg::OnLoginNotice(std::unique_ptr<std::u16string> notice)
{
    if (notice && !notice->empty())
        AppendLog(*notice);
}

void CZendrik2Dlg::StartWorker()
{
    if (m_worker.joinable())
        m_worker.join();  // a finished worker of an earlier login
    m_worker = std::thread(&CZendrik2Dlg::UploadThreadProc, this);
}

unsigned CZendrik2Dlg::UploadThreadProc(CZendrik2Dlg* dialog)
{
    dialog->RunUploadJob();
    return 0;
}

void CZendrik2Dlg::RunUploadJob()
{
    m_job.albumName = TrimWhiteSpace(m_job.albumName);
    // A failure that ends the job here also ends on an error title, as the uploads' own
    // failures do: a booth's host waits for a final title, and without one it waited for
    // the watchdog while the guest stood at the booth.
    try {
        RunJobSteps();
    } catch (const Tavik::httpclientexceptionW& e) {
        const std::u16string line = u"HttpClientException, error code=" + WideDecimal(e.ErrorCode());
        SetStatusTag(u"(error: " + line + u")");
        AppendLog(line);
    } catch (...) {
        if (IsCancelRequested()) {
            AppendLog(u"Upload cancelled");
        } else {
            SetStatusTag(u"(error: Unexpected exception)");
            AppendLog(u"ERROR: Unexpected exception");
        }
    }
    LogOut();
    AppendLog(u"Please press the 'Close' button to exit");
    std::lock_guard<std::mutex> hold(UiLock);
    workerBusy = false;
}

void CZendrik2Dlg::RunJobSteps()
{
    AppendLog(u"Logged in to Facebook");
    const std::u16string name = GetGuestName();
    if (!name.empty())
        AppendLog(u"User name: " + name);
    SetStatusTag(u"(logged in)");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    if (m_accessToken.empty()) {
        AppendLog(u"ERROR: No access token, can't upload photo");
        return;
    }
    auto produced = [this](const std::u16string& id) {
        std::lock_guard<std::mutex> hold(UiLock);
        m_jobResultId = id;
    };
    if (!m_job.linkUrl.empty()) {
        AppendLog(u"");
        produced(PostLinkToTimeline(m_job.linkUrl, m_job.comments));
        return;
    }
    AppendLog(u"");
    if (IsVideoFile(m_job.filePath)) {
        const std::u16string userId = GetUserId();
        if (userId.empty()) {
            // The video is not uploaded: its failure title, so that the host sees the end.
            SetStatusTag(u"(error: Error uploading video)");
            AppendLog(u"ERROR: can't read user_id");
            return;
        }
        AppendLog(u"user_id=" + userId);
        const std::u16string videoId = UploadVideo(m_job.filePath, userId, m_job.comments);
        AppendLog(videoId.empty() ? u"ERROR uploading video" : u"Video upload successful, video id: " + videoId);
        produced(videoId);
        return;
    }
    if (IsGifFile(m_job.filePath)) {
        const std::u16string gifUrl = UploadGif(m_job.filePath);
        if (gifUrl.empty())
            return;
        AppendLog(u"GIF URL: " + gifUrl);
        const std::u16string postId = PostLinkToTimeline(gifUrl, m_job.comments);
        if (!postId.empty())
            AppendLog(u"Timeline post OK, id=" + postId);
        produced(postId);
        return;
    }
    UploadStillImage();
}

void CZendrik2Dlg::UploadStillImage()
{
    std::u16string albumId;
    std::u16string prompt;
    std::u16string fallbackLine;
    if (m_job.albumName.empty()) {
        prompt = u"No album name entered, upload photo to \"Kavlin2 Photos\" instead?";
        fallbackLine = u"Album name not supplied, upload to \"Kavlin2 Photos\" instead";
    } else if (m_job.albumName == u"me") {
        AppendLog(u"Album: Kavlin2 Photos");
        albumId = u"me";
    } else {
        AppendLog(u"Album: " + m_job.albumName);
        SetStatusTag(u"(create album)");
        albumId = FindOrCreateAlbum(m_job.albumName, m_job.description);
        if (IsCancelRequested())
            throw social::CancelSignal;
        if (albumId.empty()) {
            prompt = u"Error creating album \"" + m_job.albumName + u"\".\nUpload photo to \"Kavlin2 Photos\" instead?";
            fallbackLine = u"Error creating album, upload to \"Kavlin2 Photos\" instead";
        } else if (IsReadOnlyAlbumId(albumId)) {
            prompt = u"Album \"" + m_job.albumName + u"\" is read-only.\nUpload photo to \"Kavlin2 Photos\" instead?";
            fallbackLine = u"Album is read only, upload to \"Kavlin2 Photos\" instead";
        } else {
            AppendLog(u"Album id: " + albumId);
        }
    }
    if (!fallbackLine.empty()) {
        AppendLog(fallbackLine);
        albumId = u"me";
    }
    AppendLog(u"");

    if (m_interactive && albumId == u"me" && !prompt.empty()) {
        const bool yes = m_view != nullptr && m_view->AskYesNo(prompt, MessageBoxCaption);
        if (!yes) {
            albumId.clear();
            AppendLog(u"Upload cancelled");
        }
    }
    if (albumId.empty())
        return;
    const std::u16string photoId = UploadPhoto(m_job.filePath, albumId, m_job.comments);
    AppendLog(photoId.empty() ? u"ERROR uploading photo" : u"Photo upload successful, photo id: " + photoId);
    std::lock_guard<std::mutex> hold(UiLock);
    m_jobResultId = photoId;
}

void CZendrik2Dlg::LogOut()
{
    if (m_accessToken.empty())
        return;
    AppendLog(u"Logging out of Facebook...");
    m_logoutAbort.Reset();
    auto markLoggingOut = [this](bool loggingOut) {
        std::lock_guard<std::mutex> hold(UiLock);
        m_loggingOut = loggingOut;
    };
    markLoggingOut(true);
    std::u16string statusText;
    const std::int32_t status = m_loginBrowser.LogoutFromFacebook(statusText, &m_logoutAbort);
    markLoggingOut(false);
    if (status == 200 || status == 404)
        AppendLog(u"Successfully logged out of Facebook");
    else
        AppendLog(u"ERROR logging out, status=" + WideDecimal(status) + u": " + statusText);
}

std::u16string CZendrik2Dlg::GetGuestName() { return social::GetGuestName(*this); }

std::u16string CZendrik2Dlg::GetUserId() { return social::GetUserId(*this); }

std::u16string CZendrik2Dlg::FindOrCreateAlbum(const std::u16string& albumName, const std::u16string& description)
{
    return social::FindOrCreateAlbum(*this, albumName, description);
}

std::u16string CZendrik2Dlg::UploadPhoto(const std::u16string& filePath, const std::u16string& albumId,
                                         const std::u16string& caption)
{
    return social::UploadPhoto(*this, filePath, albumId, caption);
}

std::u16string CZendrik2Dlg::UploadVideo(const std::u16string& filePath, const std::u16string& userId,
                                         const std::u16string& description)
{
    return social::UploadVideo(*this, filePath, userId, description);
}

std::u16string CZendrik2Dlg::UploadGif(const std::u16string& filePath) { return social::UploadGif(*this, filePath); }

std::u16string CZendrik2Dlg::PostLinkToTimeline(const std::u16string& link, const std::u16string& message)
{
    return social::PostLinkToTimeline(*this, link, message);
}
