#include "login/MyDHtmlDlg.h"

#include "login/LoginPageAddress.h"
#include "login/LoginUrl.h"
#include "login/TokenMask.h"
#include "login/WebEndpoints.h"
#include "platform/win32/DebugOutput.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

namespace {

// A session that a logout does not end would otherwise send the browser round the
// dialog, the redirect and the logout for ever, the form never shown.
constexpr int kMaxPreviousUserLogouts = 3;

void DebugLine(std::u16string_view prefix, std::u16string_view address)
{
    std::u16string line(prefix);
    line.append(MaskAccessTokens(address)).append(u"\n");
    OutputDebugStringW(line.c_str());
}

bool FoundAbove0(std::u16string_view url, std::u16string_view text)
{
    const std::size_t at = url.find(text);
    return at != std::u16string_view::npos && at > 0;
}

// From `start` on: after the first '=', up to the first of `ends` (when that lies
// above position 0). Nullopt for an empty value: "access_token=&..." names no token.
std::optional<std::u16string> ValueFrom(std::u16string_view url, std::size_t start, std::u16string_view ends)
{
    std::u16string_view value = url.substr(start);
    const std::size_t equals = value.find(u'=');
    if (equals != std::u16string_view::npos)
        value.remove_prefix(equals + 1);
    const std::size_t end = value.find_first_of(ends);
    if (end != std::u16string_view::npos && end > 0)
        value = value.substr(0, end);
    if (value.empty() || ends.find(value.front()) != std::u16string_view::npos)
        return std::nullopt;
    return std::u16string(value);
}

std::optional<std::u16string> TokenOf(std::u16string_view url)
{
    if (!FoundAbove0(url, u"access_token="))
        return std::nullopt;
    // The fragment's token; the first parameter of that name when the redirect address
    // carries a query of its own before the fragment.
    std::size_t start = url.find(u"facebook_login_success.htm#access_token=");
    if (start == std::u16string_view::npos)
        start = url.find(u"access_token=");
    return ValueFrom(url, start, u"&");
}

// The query's value ends at the fragment, too ("?error=access_denied#_=_").
std::optional<std::u16string> ErrorOf(std::u16string_view url, std::u16string_view name)
{
    if (!FoundAbove0(url, name))
        return std::nullopt;
    return ValueFrom(url, url.find(name), u"&#");
}

std::unique_ptr<std::u16string> NewNotice(const char16_t* text)
{
    return std::unique_ptr<std::u16string>(new (std::nothrow) std::u16string(text));
}

}  // namespace

CMyDHtmlDlg::~CMyDHtmlDlg() { Detach(); }

void CMyDHtmlDlg::Attach(EmbeddedBrowser& browser, LoginMessages& messages)
{
    Detach();
    m_pBrowser = &browser;
    m_pMessages = &messages;
    browser.SetEventSink(this);
}

void CMyDHtmlDlg::Detach()
{
    if (m_pBrowser != nullptr)
        m_pBrowser->SetEventSink(nullptr);
    m_pBrowser = nullptr;
    m_pMessages = nullptr;
}

void CMyDHtmlDlg::Navigate(const std::u16string& address)
{
    if (m_pBrowser != nullptr)
        m_pBrowser->Navigate(address);
}

void CMyDHtmlDlg::SetCredentials(const std::u16string& email, const std::u16string& password)
{
    m_strEmail = email;
    m_strPassword = password;
}

bool CMyDHtmlDlg::TakeCloseRequest()
{
    const bool requested = m_bCloseRequested;
    m_bCloseRequested = false;
    return requested;
}

void CMyDHtmlDlg::OnBeforeNavigate(const std::u16string& address) { DebugLine(u"OnBeforeNavigate: ", address); }

void CMyDHtmlDlg::OnNavigateComplete(const std::u16string& address) { DebugLine(u"OnNavigateComplete: ", address); }

void CMyDHtmlDlg::OnDocumentComplete(const std::u16string& address)
{
    DebugLine(u"OnDocumentComplete: ", address);
    if (address.starts_with(RedirectAddress()))
        OnRedirect(address);
    else if (IsLoginPageAddress(address))
        OnLoginPage(address);
}

bool CMyDHtmlDlg::OnNewWindow() { return m_bBlockNewWindows; }

bool CMyDHtmlDlg::OnWindowClosing()
{
    m_bCloseRequested = true;
    return true;
}

void CMyDHtmlDlg::OnRedirect(const std::u16string& url)
{
    SetAccessToken({});
    SetLoginError({});
    if (std::optional<std::u16string> token = TokenOf(url)) {
        SetAccessToken(std::move(*token));
        // Without a form shown here the token belongs to a session that was still open.
        if (m_bLoginPageSeen)
            Finish();
        else
            LogOutPreviousUser();
        return;
    }
    if (std::optional<std::u16string> error = ErrorOf(url, u"error_description="))
        SetLoginError(std::move(*error));
    else if (std::optional<std::u16string> code = ErrorOf(url, u"error="))
        SetLoginError(std::move(*code));
    else
        SetLoginError(u"Unknown error");
    Finish();
}

void CMyDHtmlDlg::LogOutPreviousUser()
{
    std::u16string ignored;
    if (m_nPreviousUserLogouts >= kMaxPreviousUserLogouts) {
        // The token is the previous guest's: it must never reach the upload.
        LogoutFromFacebook(ignored);
        SetLoginError(u"Previous user could not be logged out");
        Finish();
        return;
    }
    ++m_nPreviousUserLogouts;
    if (m_pMessages != nullptr)
        m_pMessages->PostLoginNotice(NewNotice(u"Previous user still logged in, logging out of Facebook..."));
    LogoutFromFacebook(ignored);
    Navigate(BuildLoginUrl());
}

void CMyDHtmlDlg::Finish()
{
    std::u16string error = LoginError();
    std::replace(error.begin(), error.end(), u'+', u' ');
    SetLoginError(std::move(error));
    Navigate(u"about:blank");
    if (m_pMessages != nullptr)
        m_pMessages->PostLoginFinished();
}

void CMyDHtmlDlg::OnLoginPage(const std::u16string& url)
{
    m_bLoginPageSeen = true;
    if (FoundAbove0(url, u"login_attempt=") && m_pMessages != nullptr)
        m_pMessages->PostLoginAttemptFailed();
    if (m_pBrowser == nullptr)
        return;
    m_pBrowser->SetTextInputValue(u"email", m_strEmail);
    m_pBrowser->SetTextInputValue(u"pass", m_strPassword);
}
