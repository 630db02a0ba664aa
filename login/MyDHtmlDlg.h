#pragma once
// The login browser: watches the embedded browser's documents, fills the login form,
// takes the access token (or the error text) out of the redirect address, logs out a
// previous guest whose session was still open, and tells the main dialog how the
// login went. Everything runs on the user interface thread, inside the browser's
// notifications.

#include "login/EmbeddedBrowser.h"
#include "login/LoginBrowserControl.h"
#include "login/LoginMessages.h"
#include "login/LoginSession.h"

#include <string>

class CMyDHtmlDlg : public CLoginSession, public BrowserEvents, public LoginBrowserControl {
public:
    CMyDHtmlDlg() = default;
    ~CMyDHtmlDlg() override;
    CMyDHtmlDlg(const CMyDHtmlDlg&) = delete;
    CMyDHtmlDlg& operator=(const CMyDHtmlDlg&) = delete;

    // From here on the browser's notifications come here and the messages go to the
    // dialog; both must outlive this object or be detached from it first.
    void Attach(EmbeddedBrowser& browser, LoginMessages& messages);
    void Detach();
    // Loads the address in the attached browser; nothing without one.
    void Navigate(const std::u16string& address) override;
    void SetCredentials(const std::u16string& email, const std::u16string& password) override;
    void BlockNewWindows() override { m_bBlockNewWindows = true; }
    bool TakeCloseRequest() override;

    std::u16string m_strEmail;
    std::u16string m_strPassword;
    bool m_bCloseRequested = false;   // until TakeCloseRequest takes it
    bool m_bBlockNewWindows = false;  // set before the first navigation, unattended mode only
    bool m_bLoginPageSeen = false;    // never cleared

    void OnBeforeNavigate(const std::u16string& address) override;
    void OnNavigateComplete(const std::u16string& address) override;
    void OnDocumentComplete(const std::u16string& address) override;
    bool OnNewWindow() override;
    bool OnWindowClosing() override;

private:
    void OnRedirect(const std::u16string& url);
    void OnLoginPage(const std::u16string& url);
    void LogOutPreviousUser();
    void Finish();

    EmbeddedBrowser* m_pBrowser = nullptr;
    LoginMessages* m_pMessages = nullptr;
    int m_nPreviousUserLogouts = 0;
};
