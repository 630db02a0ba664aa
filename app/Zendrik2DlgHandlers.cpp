// The main dialog's user interface handlers: initialisation, the timer tick with its
// log, end-of-run, cancelled-login and watchdog steps, the buttons and the dialog's end.

#include "app/Zendrik2Dlg.h"

#include "app/EdgeGestures.h"
#include "app/FileKind.h"
#include "app/MessageBoxCaption.h"
#include "app/UiLock.h"
#include "app/VersionText.h"
#include "login/LoginBrowserControl.h"
#include "login/LoginUrl.h"
#include "platform/win32/FileSystemPath.h"
#include "platform/wininet/WinInet.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr std::size_t MaxPathLength = 260;

void EndBrowserSession() { ::InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0); }

bool Contains(const std::u16string& text, std::u16string_view part) { return text.find(part) != std::u16string::npos; }

bool FileAttributesReadable(const std::u16string& path)
{
    if (path.size() >= MaxPathLength)
        return false;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(FileSystemPath(path), error);
    return !error && std::filesystem::exists(status);
}

}  // namespace

void CZendrik2Dlg::AttachWindow(DialogWindow* window, LoginBrowserControl* browser)
{
    m_view = window;
    m_window = window;
    m_browser = browser;
    if (window != nullptr) {
        std::lock_guard<std::mutex> hold(UiLock);
        m_collapseQueuedProgress = true;
    }
}

LayoutState CZendrik2Dlg::CurrentLayoutState() const
{
    LayoutState state;
    state.interactive = m_interactive;
    state.loginPending = m_loginPending;
    state.hasAccessToken = !m_accessToken.empty();
    state.windowX = m_job.windowX;
    state.windowY = m_job.windowY;
    state.windowWidth = m_job.windowWidth;
    state.windowHeight = m_job.windowHeight;
    return state;
}

void CZendrik2Dlg::LayOut()
{
    if (m_view != nullptr)
        m_view->LayOutControls();
}

void CZendrik2Dlg::MakeUnattended()
{
    m_interactive = false;
    m_loginPending = true;
}

void CZendrik2Dlg::OnInitDialog()
{
    BeginSession();
    WorkOutVersionText();
    if (m_browser != nullptr) {
        m_browser->SetCredentials(m_job.userEmail, m_job.userPassword);
        m_browser->Navigate(u"about:blank");
    }
    if (m_interactive)
        m_window->SetWindowTitle(MessageBoxCaption + u" " + VersionText);
    else
        StartUnattended();
    LayOut();
    m_window->ExchangeData(false);
}

void CZendrik2Dlg::BeginSession()
{
    EndBrowserSession();
    ResetSharedState();
}

UnattendedStart CZendrik2Dlg::StartUnattended()
{
    if (m_window != nullptr) {
        m_window->BecomeUnattendedSurface();
        SwitchEdgeGestures(m_window->NativeWindow(), true);
        CentreBrowserBox(m_job, m_window->ClientRect());
    }
    if (m_browser != nullptr)
        m_browser->BlockNewWindows();
    if (!m_startupConnectionTest.Started())
        m_startupConnectionTest.Start(m_connectionTest);
    m_unattendedStart = UnattendedStart::TestingConnection;
    return ContinueUnattended();
}

UnattendedStart CZendrik2Dlg::ContinueUnattended()
{
    if (m_unattendedStart != UnattendedStart::TestingConnection || m_closing)
        return m_unattendedStart;
    const std::optional<bool> connected = m_startupConnectionTest.Answer();
    if (!connected)
        return m_unattendedStart;
    if (!*connected) {
        SetStatusTag(u"(error: No internet connection)");
        m_unattendedStart = UnattendedStart::NoConnection;
        return m_unattendedStart;
    }
    SetStatusTag(u"(logging in)");
    if (m_browser != nullptr)
        m_browser->Navigate(BuildLoginUrl());
    m_unattendedStart = UnattendedStart::LoggingIn;
    return m_unattendedStart;
}

void CZendrik2Dlg::StartConnectionTestEarly()
{
    if (!m_interactive && !m_startupConnectionTest.Started())
        m_startupConnectionTest.Start(m_connectionTest);
}

void CZendrik2Dlg::OnTimer()
{
    if (m_closing)
        return;
    DrainLogQueue();
    EndOfRunTick();
    if (m_closing)
        return;
    CancelledLoginTick();
    if (!m_interactive)
        WatchdogTick();
}

void CZendrik2Dlg::DrainLogQueue() { ShowLogLines(m_window->LogList(), TakeQueuedLogLines()); }

void CZendrik2Dlg::EndOfRunTick()
{
    if (IsWorkerBusy() || m_loginPending)
        return;
    if (IsCancelRequested()) {
        CloseDialog();
        return;
    }
    if (Contains(m_window->UploadButtonCaption(), u"Cancel"))
        m_window->SetUploadButtonCaption(u"Close");
}

void CZendrik2Dlg::CancelledLoginTick()
{
    if (!m_loginPending || m_browser == nullptr || !m_browser->TakeCloseRequest())
        return;
    if (m_interactive) {
        m_loginPending = false;
        LayOut();
        m_browser->Navigate(u"about:blank");
        m_window->SetUploadButtonCaption(u"Upload to Facebook");
        AppendLog(u"Facebook login cancelled");
        return;
    }
    m_window->MoveOffScreen();
    SetStatusTag(u"(login failed)");
    m_browser->Navigate(u"about:blank");
}

void CZendrik2Dlg::WatchdogTick()
{
    const std::u16string title = m_window->WindowTitle();
    const std::int64_t now = m_clock();
    if (title != m_lastTitle || m_lastTitleTime == 0) {
        m_lastTitle = title;
        m_lastTitleTime = now;
        return;
    }
    if (now <= m_lastTitleTime + WatchdogSeconds)
        return;
    if (IsWorkerBusy())
        RequestCancel(true);
    else
        CloseDialog();
}

void CZendrik2Dlg::OnUploadButton()
{
    if (m_closing)
        return;
    const std::u16string caption = m_window->UploadButtonCaption();
    if (Contains(caption, u"Upload")) {
        // The unattended login starts by itself; a stray Enter must not start another.
        if (m_interactive)
            OnUploadCaption();
    } else if (Contains(caption, u"Cancel")) {
        OnCancelCaption();
    } else if (caption.starts_with(u"Closing")) {
        AbortRunningJob();  // a close while the job's logout waits
    } else if (caption.starts_with(u"Close")) {
        CloseDialog();
    }
}

void CZendrik2Dlg::OnUploadCaption()
{
    if (!m_connectionTest()) {
        m_window->ShowMessage(u"ERROR: no internet connection", MessageBoxCaption, MessageIcon::Error);
        return;
    }
    m_window->ExchangeData(true);
    if (m_job.filePath.empty()) {
        if (m_job.linkUrl.empty()) {
            m_window->ShowMessage(u"Please select a JPEG image to upload", MessageBoxCaption, MessageIcon::Information);
            return;
        }
        StartLogin(BuildLoginUrl());
        return;
    }
    if (!FileAttributesReadable(m_job.filePath)) {
        m_window->ShowMessage(u"ERROR JPEG image file does not exist:\n" + m_job.filePath, MessageBoxCaption,
                              MessageIcon::Error);
        return;
    }
    const bool gif = IsGifFile(m_job.filePath);
    if (m_job.albumName.empty() && !gif &&
        m_window->AskYesNo(u"No album name entered\nUpload photo to \"Kavlin2 Photos\" album?", MessageBoxCaption))
        m_job.albumName = u"me";
    if (m_job.albumName.empty() && !gif)
        return;
    // A debugging hook: the browser goes to any http(s) address instead of the login dialog.
    if (m_job.comments.starts_with(u"DBG:http"))
        StartLogin(m_job.comments.substr(4));
    else
        StartLogin(BuildLoginUrl());
}

void CZendrik2Dlg::OnCancelCaption()
{
    if (m_loginPending) {
        if (m_window->AskYesNo(u"Cancel upload and exit app?", MessageBoxCaption))
            CloseDialog();
        return;
    }
    if (IsWorkerBusy()) {
        m_window->EnableUploadButton(false);
        m_window->SetUploadButtonCaption(u"Closing...");
        AbortRunningJob();
        return;
    }
    if (m_window->AskYesNo(u"Cancel upload and exit app?", MessageBoxCaption))
        CloseDialog();
}

void CZendrik2Dlg::AbortRunningJob()
{
    // Read before the cancel: the worker may reach the logout the cancel brings on before
    // this returns, and that logout must run.
    bool loggingOut = false;
    {
        std::lock_guard<std::mutex> hold(UiLock);
        loggingOut = m_loggingOut;
    }
    if (!m_abortRequested) {
        m_abortRequested = true;
        AppendLog(u"Aborting upload, please wait...");
    }
    RequestCancel(true);
    if (loggingOut)
        m_logoutAbort.Abort();
}

void CZendrik2Dlg::StartLogin(const std::u16string& address)
{
    if (m_browser != nullptr)
        m_browser->Navigate(address);
    m_loginPending = true;
    m_window->SetUploadButtonCaption(u"Cancel upload");
    LayOut();
}

void CZendrik2Dlg::OnCancel()
{
    if (m_closing)
        return;
    if (!Contains(m_window->UploadButtonCaption(), u"Upload")) {
        OnUploadButton();
        return;
    }
    // Unattended mode keeps the "Upload" caption; a close while the worker runs asks it
    // to stop, and the timer closes the dialog once it has finished.
    if (!m_interactive && IsWorkerBusy()) {
        AbortRunningJob();
        return;
    }
    CloseDialog();
}

void CZendrik2Dlg::OnBrowse()
{
    m_window->ExchangeData(true);
    std::u16string path;
    if (!m_window->ChooseFileToUpload(path))
        return;
    m_job.filePath = path;
    m_window->ExchangeData(false);
}

void CZendrik2Dlg::OnAbout() { m_window->ShowAboutBox(); }

void CZendrik2Dlg::CloseDialog()
{
    if (m_closing)
        return;
    m_closing = true;
    m_window->ExchangeData(true);
    m_window->EndModalDialog();
}

void CZendrik2Dlg::OnDestroy()
{
    EndSession();
    SwitchEdgeGestures(m_window != nullptr ? m_window->NativeWindow() : 0, false);
}

void CZendrik2Dlg::EndSession()
{
    std::u16string ignored;
    m_loginBrowser.LogoutFromFacebook(ignored);  // nothing left to do after the job's own logout
    EndBrowserSession();
}
