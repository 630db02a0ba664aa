// Addresses the login browser completes: the token and error capture on the redirect
// address, the document-complete rule that fills the form, and the debug lines' mask.

#include "login/MyDHtmlDlg.h"
#include "login/TokenMask.h"
#include "login/WebEndpoints.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/login/LoginBrowserFakes.h"

#include <algorithm>

namespace {

// Where the captured token begins, by the capture's own rule: after the '=' of the
// fragment's parameter, or else of the first parameter of that name.
std::size_t TokenStart(std::u16string_view url)
{
    std::size_t start = url.find(u"facebook_login_success.htm#access_token=");
    if (start == std::u16string_view::npos)
        start = url.find(u"access_token=");
    return url.find(u'=', start) + 1;
}

std::u16string WithTokenAs(std::u16string url, std::size_t start, std::size_t length, char16_t unit)
{
    std::fill_n(url.begin() + static_cast<std::ptrdiff_t>(start), length, unit);
    return url;
}

// The mask hides every character of the token when the line does not change with them.
void CheckMaskHides(const std::u16string& url, const std::u16string& token)
{
    const std::size_t start = TokenStart(url);
    FUZZ_CHECK(url.compare(start, token.size(), token) == 0);
    FUZZ_CHECK(token.find(u'&') == std::u16string::npos);
    const std::u16string masked = MaskAccessTokens(WithTokenAs(url, start, token.size(), u'x'));
    FUZZ_CHECK(masked == MaskAccessTokens(WithTokenAs(url, start, token.size(), u'y')));
    FUZZ_CHECK(masked == MaskAccessTokens(url));
}

void Complete(const std::u16string& address)
{
    RecordingBrowser browser;
    RecordingMessages messages;
    CMyDHtmlDlg login;
    login.Attach(browser, messages);
    // A login page seen keeps the capture from logging a previous user out over the network.
    login.m_bLoginPageSeen = true;
    login.OnDocumentComplete(address);

    const std::u16string& token = login.AccessToken();
    if (!token.empty())
        CheckMaskHides(address, token);
    if (!browser.inputs.empty())
        FUZZ_CHECK(!address.starts_with(RedirectAddress()) && messages.finished == 0);
    login.Detach();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool prepared = (fuzz::UsePrivateHome(), ::setenv("ZENDRIK_REDIRECT_HOST", "127.0.0.1:4431", 1), true);
    static_cast<void>(prepared);
    const std::u16string text = fuzz::UnitsOf(fuzz::BytesOf(data, size));
    Complete(text);
    Complete(RedirectAddress() + text);
    MaskAccessTokens(text);
    return 0;
}
