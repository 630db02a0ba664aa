// The main dialog's user interface handlers: initialisation, the timer tick with its
// log, end-of-run, cancelled-login and watchdog steps, the buttons and the dialog's end.

#include "app/Zendrik2Dlg.h"

#include "app/EdgeGestures.h"
#include "app/FileKind.h"
#include "app/MessageBoxCaption.h"
#include "app/UiLock.h"
#include "app/VersionText.h"
#include "login/LoginUrl.h"
#include "login/MyDHtmlDlg.h"
#include "platform/win32/Utf.h"
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
    const std::filesystem::file_status status = std::filesystem::status(Utf16ToUtf8(path), error);
    return !error && std::filesystem::exists(status);
}

}  // namespace

void CZendrik2Dlg::AttachWindow(DialogWindow* window, CMyDHtmlDlg* browser)
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
    state.interactive = interactive;
    state.loginPending = loginPending;
    state.hasAccessToken = !m_accessToken.empty();
    state.windowX = job.windowX;
    state.windowY = job.windowY;
    state.windowWidth = job.windowWidth;
    state.windowHeight = job.windowHeight;
    return state;
}

void CZendrik2Dlg::LayOut()
{
    if (m_view != nullptr)
        m_view->LayOutControls();
}

void CZendrik2Dlg::OnInitDialog()
{
    EndBrowserSession();
    WorkOutVersionText();
    if (m_browser != nullptr) {
        m_browser->m_strEmail = job.userEmail;
        m_browser->m_strPassword = job.userPassword;
        m_browser->Navigate(u"about:blank");
    }
    ResetSharedState();
    if (interactive) {
        m_window->SetWindowTitle(MessageBoxCaption + u" " + VersionText);
    } else {
        m_window->BecomeUnattendedSurface();
        SwitchEdgeGestures(m_window->NativeWindow(), true);
        CentreBrowserBox(job, m_window->ClientRect());
        if (m_browser != nullptr)
            m_browser->m_bBlockNewWindows = true;
        if (StartupConnectionTest()) {
            SetStatusTag(u"(logging in)");
            if (m_browser != nullptr)
                m_browser->Navigate(BuildLoginUrl());
        } else {
            SetStatusTag(u"(error: No internet connection)");
        }
    }
    LayOut();
    m_window->ExchangeData(false);
}

void CZendrik2Dlg::StartConnectionTestEarly()
{
    if (!interactive && !m_earlyConnectionTest.valid())
        m_earlyConnectionTest = std::async(std::launch::async, m_connectionTest);
}

bool CZendrik2Dlg::StartupConnectionTest()
{
    if (m_earlyConnectionTest.valid())
        return m_earlyConnectionTest.get();
    return m_connectionTest();
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
    if (!interactive)
        WatchdogTick();
}

void CZendrik2Dlg::DrainLogQueue()
{
    ShowLogLines(m_window->LogList(), TakeQueuedLogLines());
}

void CZendrik2Dlg::EndOfRunTick()
{
    if (IsWorkerBusy() || loginPending)
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
    if (!loginPending || m_browser == nullptr || !m_browser->m_bCloseRequested)
        return;
    if (interactive) {
        loginPending = false;
        LayOut();
        m_browser->Navigate(u"about:blank");
        m_browser->m_bCloseRequested = false;
        m_window->SetUploadButtonCaption(u"Upload to Facebook");
        AppendLog(u"Facebook login cancelled");
        return;
    }
    m_window->MoveOffScreen();
    SetStatusTag(u"(login failed)");
    m_browser->m_bCloseRequested = false;
    m_browser->Navigate(u"about:blank");
}

void CZendrik2Dlg::WatchdogTick()
{
    const std::u16string title = m_window->WindowTitle();
    const std::int64_t now = m_clock();
    if (title != lastTitle || lastTitleTime == 0) {
        lastTitle = title;
        lastTitleTime = now;
        return;
    }
    if (now <= lastTitleTime + WatchdogSeconds)
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
        if (interactive)
            OnUploadCaption();
    } else if (Contains(caption, u"Cancel")) {
        OnCancelCaption();
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
    if (job.filePath.empty()) {
        if (job.linkUrl.empty()) {
            m_window->ShowMessage(u"Please select a JPEG image to upload", MessageBoxCaption,
                                  MessageIcon::Information);
            return;
        }
        StartLogin(BuildLoginUrl());
        return;
    }
    if (!FileAttributesReadable(job.filePath)) {
        m_window->ShowMessage(u"ERROR JPEG image file does not exist:\n" + job.filePath, MessageBoxCaption,
                              MessageIcon::Error);
        return;
    }
    const bool gif = IsGifFile(job.filePath);
    if (job.albumName.empty() && !gif
        && m_window->AskYesNo(u"No album name entered\nUpload photo to \"Kavlin2 Photos\" album?", MessageBoxCaption))
        job.albumName = u"me";
    if (job.albumName.empty() && !gif)
        return;
    // A debugging hook: the browser goes to any http(s) address instead of the login dialog.
    if (job.comments.starts_with(u"DBG:http"))
        StartLogin(job.comments.substr(4));
    else
        StartLogin(BuildLoginUrl());
}

void CZendrik2Dlg::OnCancelCaption()
{
    if (loginPending) {
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
    if (!m_abortRequested) {
        m_abortRequested = true;
        AppendLog(u"Aborting upload, please wait...");
    }
    RequestCancel(true);
}

void CZendrik2Dlg::StartLogin(const std::u16string& address)
{
    if (m_browser != nullptr)
        m_browser->Navigate(address);
    loginPending = true;
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
    if (!interactive && IsWorkerBusy()) {
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
    job.filePath = path;
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
    std::u16string ignored;
    m_loginBrowser.LogoutFromFacebook(ignored);
    EndBrowserSession();
    SwitchEdgeGestures(m_window != nullptr ? m_window->NativeWindow() : 0, false);
}
