// The login browser's capture rules, fed with addresses through a recording browser;
// the previous guest's logout is checked on the wire.

#include "login/LoginUrl.h"
#include "login/MyDHtmlDlg.h"
#include "platform/win32/Utf.h"
#include "tests/login/LoginBrowserFakes.h"
#include "tests/support/ScopedUserDirs.h"
#include "tests/support/WireServer.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::WireServer;

namespace {

constexpr char16_t kRedirect[] = u"https://127.0.0.1:4431/facebook_login_success.htm";

class LoginBrowser : public ::testing::Test {
protected:
    void SetUp() override { login.Attach(browser, messages); }

    std::u16string WebHost() const { return Utf8ToUtf16(web.HostPort()); }
    std::u16string LoginForm(std::u16string_view query = u"skip_api_login=1&api_key=123") const
    {
        return u"https://" + WebHost() + u"/login.php?" + std::u16string(query);
    }
    void SeeLoginForm()
    {
        login.OnDocumentComplete(LoginForm());
        browser.inputs.clear();
    }
    void Complete(std::u16string_view tail) { login.OnDocumentComplete(kRedirect + std::u16string(tail)); }

    ScopedUserDirs dirs;  // no settings: the compiled-in application identifier
    WireServer web;
    ScopedEnvironmentVariable webHost{"ZENDRIK_WEB_HOST", Utf16ToUtf8(WebHost())};
    ScopedEnvironmentVariable redirectHost{"ZENDRIK_REDIRECT_HOST", "127.0.0.1:4431"};
    ScopedEnvironmentVariable debug{"ZENDRIK_DEBUG", std::nullopt};
    RecordingBrowser browser;
    RecordingMessages messages;
    CMyDHtmlDlg login;
};

TEST_F(LoginBrowser, StartsEmptyAndAttachesItselfAsTheSink)
{
    const CMyDHtmlDlg fresh;
    EXPECT_TRUE(fresh.AccessToken().empty());
    EXPECT_TRUE(fresh.LoginError().empty());
    EXPECT_TRUE(fresh.m_strEmail.empty() && fresh.m_strPassword.empty());
    EXPECT_FALSE(fresh.m_bCloseRequested || fresh.m_bBlockNewWindows || fresh.m_bLoginPageSeen);
    EXPECT_EQ(browser.sink, &login);
}

TEST_F(LoginBrowser, DetachesFromTheBrowserWhenDestroyed)
{
    RecordingBrowser other;
    {
        CMyDHtmlDlg shortLived;
        shortLived.Attach(other, messages);
        EXPECT_EQ(other.sink, &shortLived);
    }
    EXPECT_EQ(other.sink, nullptr);
}

TEST_F(LoginBrowser, TokenBeforeFurtherParametersAfterTheForm)
{
    SeeLoginForm();
    Complete(u"#access_token=EAAB12x_y-z&expires_in=5400");
    EXPECT_EQ(login.AccessToken(), u"EAAB12x_y-z");
    EXPECT_TRUE(login.LoginError().empty());
    EXPECT_EQ(messages.finished, 1);
    EXPECT_TRUE(messages.notices.empty());
    ASSERT_EQ(browser.navigations.size(), 1u);
    EXPECT_EQ(browser.navigations[0], u"about:blank");
    EXPECT_EQ(web.ConnectionsAccepted(), 0u) << "no logout for the guest's own token";
}

TEST_F(LoginBrowser, TokenWithoutFurtherParametersIsTheWholeRest)
{
    SeeLoginForm();
    Complete(u"#access_token=TOKEN%2B=x");
    EXPECT_EQ(login.AccessToken(), u"TOKEN%2B=x");
    EXPECT_EQ(messages.finished, 1);
}

TEST_F(LoginBrowser, ErrorDescriptionWinsAndLosesItsPlusSigns)
{
    SeeLoginForm();
    login.SetAccessToken(u"stale");
    Complete(
        u"?error=access_denied&error_code=200&error_description=Permissions+error+here&error_reason=user_denied#_=_");
    EXPECT_EQ(login.LoginError(), u"Permissions error here");
    EXPECT_TRUE(login.AccessToken().empty());
    EXPECT_EQ(messages.finished, 1);
    EXPECT_EQ(browser.navigations.back(), u"about:blank");
}

TEST_F(LoginBrowser, ErrorCodeAloneAndNoErrorAtAll)
{
    Complete(u"?error=access%5Fdenied");
    EXPECT_EQ(login.LoginError(), u"access%5Fdenied") << "percent escapes stay";
    Complete(u"?error=server_error#_=_");
    EXPECT_EQ(login.LoginError(), u"server_error") << "the query's value ends at the fragment";
    Complete(u"");
    EXPECT_EQ(login.LoginError(), u"Unknown error");
    Complete(u"?state=1#_=_");
    EXPECT_EQ(login.LoginError(), u"Unknown error");
    EXPECT_EQ(messages.finished, 4);
}

TEST_F(LoginBrowser, AnEmptyTokenIsNoToken)
{
    SeeLoginForm();
    Complete(u"#access_token=&expires_in=5400");
    EXPECT_TRUE(login.AccessToken().empty());
    EXPECT_EQ(login.LoginError(), u"Unknown error");
    EXPECT_EQ(messages.finished, 1);
}

TEST_F(LoginBrowser, AQueryBeforeTheFragmentDoesNotLeakIntoTheToken)
{
    SeeLoginForm();
    Complete(u"?state=abc#access_token=T0K&expires_in=1");
    EXPECT_EQ(login.AccessToken(), u"T0K");
}

TEST_F(LoginBrowser, TheRedirectAddressLaterInAnAddressIsNotTheRedirect)
{
    SeeLoginForm();
    login.OnDocumentComplete(u"https://elsewhere.example/?next=" + std::u16string(kRedirect) + u"#access_token=STOLEN");
    login.OnDocumentComplete(u"https://127.0.0.1:4431/other.htm#access_token=NOPE");
    EXPECT_TRUE(login.AccessToken().empty());
    EXPECT_EQ(messages.finished, 0);
    EXPECT_TRUE(browser.navigations.empty());
    EXPECT_TRUE(browser.inputs.empty());
}

TEST_F(LoginBrowser, TheLoginFormIsFilledEvenWithEmptyValues)
{
    login.m_strEmail = u"ann@example.com";
    login.OnDocumentComplete(LoginForm());
    EXPECT_TRUE(login.m_bLoginPageSeen);
    ASSERT_EQ(browser.inputs.size(), 2u);
    EXPECT_EQ(browser.inputs[0], std::make_pair(std::u16string(u"email"), std::u16string(u"ann@example.com")));
    EXPECT_EQ(browser.inputs[1], std::make_pair(std::u16string(u"pass"), std::u16string()));
    EXPECT_EQ(messages.attemptsFailed, 0);
}

TEST_F(LoginBrowser, AFailedAttemptIsReportedAndTheFormFilledAgain)
{
    login.m_strEmail = u"ann@example.com";
    login.m_strPassword = u"s3cr\u00E9t";
    login.OnDocumentComplete(LoginForm());
    login.OnDocumentComplete(LoginForm(u"login_attempt=1&lwv=100"));
    EXPECT_EQ(messages.attemptsFailed, 1);
    ASSERT_EQ(browser.inputs.size(), 4u);
    EXPECT_EQ(browser.inputs[3].second, u"s3cr\u00E9t");
    EXPECT_EQ(messages.finished, 0);
}

// The guest's e-mail and password go into no page but the web host's own login form,
// however much of its address another page's address quotes.
TEST_F(LoginBrowser, OnlyTheWebHostsLoginPageIsFilled)
{
    login.m_strEmail = u"ann@example.com";
    login.m_strPassword = u"secret";
    const std::u16string port = Utf8ToUtf16(std::to_string(web.Port()));
    const std::u16string foreignAddresses[] = {
        u"http://127.0.0.1:1/phish?u=0.0.1:" + port + u"/login.php?x=1",
        u"https://127.0.0.1:1/phish?u=0.0.1:" + port + u"/login.php?x=1",
        u"http://" + WebHost() + u"/login.php?x=1",            // not https
        std::u16string(u"https://127.0.0.1:1/login.php?x=1"),  // another port
        u"https://" + WebHost() + u"/login.php",               // no query
        u"https://" + WebHost() + u"/login.php.html?x=1",
        u"https://" + WebHost() + u"/x/login.php?x=1",
        u"https://" + WebHost() + u"@127.0.0.1:1/login.php?x=1",  // a user name, then another host
        u"https://127.0.0.2:" + port + u"/login.php?x=1",
        u"about:blank#https://" + WebHost() + u"/login.php?x=1",
    };
    for (const std::u16string& foreign : foreignAddresses) {
        login.OnDocumentComplete(foreign);
        EXPECT_FALSE(login.m_bLoginPageSeen) << Utf16ToUtf8(foreign);
        EXPECT_TRUE(browser.inputs.empty()) << Utf16ToUtf8(foreign);
    }
    login.OnDocumentComplete(u"HTTPS://" + WebHost() + u"/login.php?x=1#top");
    EXPECT_TRUE(login.m_bLoginPageSeen);
    EXPECT_EQ(browser.inputs.size(), 2u);
}

TEST_F(LoginBrowser, NewWindowsFollowTheBlockSwitchAndClosingIsAlwaysRefused)
{
    EXPECT_FALSE(login.OnNewWindow());
    login.m_bBlockNewWindows = true;
    EXPECT_TRUE(login.OnNewWindow());
    EXPECT_TRUE(login.OnWindowClosing());
    EXPECT_TRUE(login.m_bCloseRequested);
}

TEST_F(LoginBrowser, APreviousGuestIsLoggedOutAndTheDialogOpenedAgain)
{
    Complete(u"#access_token=PREV-TOKEN&expires_in=5400");
    ASSERT_EQ(messages.notices.size(), 1u);
    EXPECT_EQ(messages.notices[0], u"Previous user still logged in, logging out of Facebook...");
    EXPECT_EQ(messages.finished, 0);
    EXPECT_TRUE(login.AccessToken().empty());
    ASSERT_EQ(browser.navigations.size(), 1u);
    EXPECT_EQ(browser.navigations[0], BuildLoginUrl());

    ASSERT_TRUE(web.WaitForRequests(1));
    const auto requests = web.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target,
              "/logout.php?access%5Ftoken=PREV%2DTOKEN&next=http%3A%2F%2Flocalhost%2Flogout%2Ehtml");

    // The dialog now shows the form, and the next token is the guest's own.
    SeeLoginForm();
    Complete(u"#access_token=GUEST&expires_in=5400");
    EXPECT_EQ(login.AccessToken(), u"GUEST");
    EXPECT_EQ(messages.finished, 1);
    EXPECT_EQ(web.Requests().size(), 1u);
}

TEST_F(LoginBrowser, ASessionThatOutlivesItsLogoutsEndsTheLoginWithoutItsToken)
{
    for (int round = 0; round < 3; ++round)
        Complete(u"#access_token=STUCK&expires_in=5400");
    EXPECT_EQ(messages.notices.size(), 3u);
    EXPECT_EQ(messages.finished, 0);

    Complete(u"#access_token=STUCK&expires_in=5400");
    EXPECT_EQ(messages.finished, 1);
    EXPECT_TRUE(login.AccessToken().empty());
    EXPECT_EQ(login.LoginError(), u"Previous user could not be logged out");
    EXPECT_EQ(browser.navigations.back(), u"about:blank");
    EXPECT_TRUE(web.WaitForRequests(4));
}

TEST_F(LoginBrowser, TheLogoutOfAPreviousGuestSurvivesAMissingService)
{
    const ScopedEnvironmentVariable closed("ZENDRIK_WEB_HOST",
                                           "127.0.0.1:" + std::to_string(testsupport::UnusedLocalPort()));
    Complete(u"#access_token=PREV&expires_in=5400");
    EXPECT_TRUE(login.AccessToken().empty());
    EXPECT_EQ(messages.notices.size(), 1u);
    EXPECT_EQ(browser.navigations.size(), 1u);
}

TEST_F(LoginBrowser, WithoutAttachmentNothingIsPostedOrNavigated)
{
    CMyDHtmlDlg alone;
    alone.OnDocumentComplete(LoginForm());
    alone.OnDocumentComplete(kRedirect + std::u16string(u"#access_token=T&x=1"));
    EXPECT_EQ(alone.AccessToken(), u"T");
    EXPECT_TRUE(browser.navigations.empty());
}

TEST(LoginUrl, IsTheDialogForTheApplicationAndTheRedirect)
{
    ScopedUserDirs dirs;
    dirs.WriteSettings(SettingsFileWith("\"ApplicationID\"=\" 42 \""));
    ScopedEnvironmentVariable web("ZENDRIK_WEB_HOST", "127.0.0.1:8443");
    ScopedEnvironmentVariable redirect("ZENDRIK_REDIRECT_HOST", "localhost:9443");
    EXPECT_EQ(BuildLoginUrl(), u"https://127.0.0.1:8443/v2.12/dialog/oauth?client_id=42"
                               u"&redirect_uri=https://localhost:9443/facebook_login_success.htm"
                               u"&type=user_agent&response_type=token&display=popup&scope=user_photos,publish_actions");
}

}  // namespace
