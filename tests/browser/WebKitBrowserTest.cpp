// The browser layer under a real X server, against the stand-in service: the final
// addresses it reports, the inputs it fills, the windows it opens or refuses, the
// window closing it reports, its silence, and where its cookies go.

#include "login/FacebookCookieFile.h"
#include "login/LoginUrl.h"
#include "login/MyDHtmlDlg.h"
#include "platform/win32/Utf.h"
#include "tests/browser/BrowserTestSupport.h"
#include "tests/login/LoginBrowserFakes.h"
#include "tests/support/WireServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using browsertest::BaseUrl;
using browsertest::BaseUrlW;
using browsertest::PumpFor;
using browsertest::PumpUntil;
using browsertest::Standin;

namespace {

class Browser : public browsertest::HostedBrowser {
protected:
    std::u16string Redirect() const { return BaseUrlW("redirect") + u"/facebook_login_success.htm"; }
    std::string InputValue(const std::string& name)
    {
        return Evaluate("(function(){var e=document.getElementsByName('" + name +
                        "')[0];return e?e.value:'<none>';})()");
    }
    // Requests for "/" whose query opened the given way.
    static int OpenedRequests(const std::string& how)
    {
        int count = 0;
        for (const Json::Value& request : Standin().Received("web_root")) {
            for (const Json::Value& pair : request["query"]) {
                if (pair[0].asString() == "opened" && pair[1].asString() == how)
                    ++count;
            }
        }
        return count;
    }
    static void Autosubmit()
    {
        Json::Value switches;
        switches["autosubmit"] = true;
        switches["autosubmitDelayMs"] = 50;
        Standin().Configure(switches);
    }
    static std::filesystem::path CookieFile()
    {
        return browsertest::TheWorld().home / "data/OrvaneSystems/Zendrik/Cookies/Zendrik2.cookie";
    }
};

TEST_F(Browser, TheRedirectAddressArrivesWithItsFragment)
{
    const std::u16string target = Redirect() + u"#access_token=EAAB.x-y_z&expires_in=5400";
    Json::Value rule;
    rule["host"] = "web";
    rule["path"] = "/jump";
    rule["status"] = 302;
    rule["headers"]["Location"] = Utf16ToUtf8(target);
    Standin().Script(rule);

    ASSERT_TRUE(Load(BaseUrlW("web") + u"/jump", Redirect()));
    EXPECT_TRUE(events.Completed(target));
    EXPECT_EQ(events.completed.size(), 1u) << "one document, reported once";
    EXPECT_FALSE(events.before.empty());
    EXPECT_FALSE(events.navigated.empty());
}

TEST_F(Browser, AFailedLoadStillCompletesWithItsAddress)
{
    const std::u16string dead =
        u"https://127.0.0.1:" + Utf8ToUtf16(std::to_string(testsupport::UnusedLocalPort())) + u"/nothing";
    ASSERT_TRUE(Load(dead, dead));
}

TEST_F(Browser, OnlyTheServicesOwnCertificatesAreTrusted)
{
    for (const testsupport::TlsMode mode : {testsupport::TlsMode::Untrusted, testsupport::TlsMode::WrongHost}) {
        testsupport::WireServer other(mode);
        const std::u16string address = other.BaseUrlW() + u"/page";
        ASSERT_TRUE(Load(address, address));
        EXPECT_TRUE(other.Requests().empty()) << "no request after a refused certificate";
    }
    // The service's own certificate is trusted on its host, on any port (WebKit keeps no ports).
    testsupport::WireServer same(testsupport::TlsMode::Trusted);
    const std::u16string address = same.BaseUrlW() + u"/page";
    ASSERT_TRUE(Load(address, address));
    EXPECT_TRUE(same.WaitForRequests(1));
}

TEST_F(Browser, NamedTextInputsAreFilled)
{
    ASSERT_TRUE(Load(BuildLoginUrl(), BaseUrlW("web") + u"/login.php?"));
    const std::u16string tricky = u"a\"b'c\\d</script>\u00E9\u2028\U0001F600 ";
    browser->SetTextInputValue(u"email", tricky);
    browser->SetTextInputValue(u"pass", u"pa ss");
    EXPECT_TRUE(PumpUntil([&] { return InputValue("pass") == "pa ss"; }));
    EXPECT_EQ(InputValue("email"), Utf16ToUtf8(tricky));

    browser->SetTextInputValue(u"pass", u"");
    EXPECT_TRUE(PumpUntil([&] { return InputValue("pass").empty(); })) << "an empty value is set too";
    browser->SetTextInputValue(u"login", u"changed");  // a button, not an input
    browser->SetTextInputValue(u"nothing", u"x");
    PumpFor(std::chrono::milliseconds(200));
    EXPECT_EQ(InputValue("login"), "1");
    EXPECT_EQ(Evaluate("document.forms.length"), "1") << "nothing was submitted";
}

TEST_F(Browser, OnlyTheFirstTextLikeInputOfTheNameIsFilled)
{
    ASSERT_TRUE(Load(u"data:text/html,<input name=dup><input name=dup><input type=checkbox name=box value=v>"
                     u"<input type=hidden name=secret value=v><input type=search name=find><textarea name=area>"
                     u"</textarea><input type=email name=mail>",
                     u"data:"));
    for (const char16_t* name : {u"dup", u"box", u"secret", u"find", u"area", u"mail"})
        browser->SetTextInputValue(name, u"new");
    EXPECT_TRUE(PumpUntil([&] { return InputValue("mail") == "new"; }));
    EXPECT_EQ(Evaluate("document.getElementsByName('dup')[1].value"), "");
    EXPECT_EQ(InputValue("dup"), "new");
    EXPECT_EQ(InputValue("find"), "new");
    EXPECT_EQ(InputValue("box"), "v");
    EXPECT_EQ(InputValue("secret"), "v");
    EXPECT_EQ(InputValue("area"), "");
}

TEST_F(Browser, AScriptsNewWindowIsRefusedOrOpenedAsTheSinkAnswers)
{
    ASSERT_TRUE(Load(BaseUrlW("web") + u"/window-open.html?open=script", BaseUrlW("web") + u"/window-open.html"));
    ASSERT_TRUE(PumpUntil([&] { return events.newWindows == 1; }));
    PumpFor(std::chrono::milliseconds(1000));
    EXPECT_EQ(OtherTopLevelWindows(), 0u);
    EXPECT_EQ(OpenedRequests("script"), 0);

    events.cancelNewWindows = false;
    ASSERT_TRUE(Load(BaseUrlW("web") + u"/window-open.html?open=script", BaseUrlW("web") + u"/window-open.html"));
    EXPECT_TRUE(PumpUntil([] { return OpenedRequests("script") == 1; }));
    EXPECT_EQ(events.newWindows, 2);
    EXPECT_EQ(OtherTopLevelWindows(), 1u);
    ASSERT_TRUE(Load(BaseUrlW("web") + u"/", BaseUrlW("web") + u"/")) << "the opener goes on working";
}

TEST_F(Browser, ALinksNewWindowIsRefusedOrOpenedAsTheSinkAnswers)
{
    ASSERT_TRUE(Load(BaseUrlW("web") + u"/window-open.html?open=link", BaseUrlW("web") + u"/window-open.html"));
    ASSERT_TRUE(PumpUntil([&] { return events.newWindows == 1; }));
    PumpFor(std::chrono::milliseconds(1000));
    EXPECT_EQ(OtherTopLevelWindows(), 0u);
    EXPECT_EQ(OpenedRequests("link"), 0);

    events.cancelNewWindows = false;
    ASSERT_TRUE(Load(BaseUrlW("web") + u"/window-open.html?open=link", BaseUrlW("web") + u"/window-open.html"));
    EXPECT_TRUE(PumpUntil([] { return OpenedRequests("link") == 1; }));
    EXPECT_EQ(OtherTopLevelWindows(), 1u);
}

TEST_F(Browser, APageClosingItsWindowIsReportedEveryTimeAndTheBrowserStays)
{
    Json::Value switches;
    switches["closeWindow"] = true;
    Standin().Configure(switches);
    ASSERT_TRUE(Load(BuildLoginUrl(), BaseUrlW("web") + u"/login.php?"));
    ASSERT_TRUE(PumpUntil([&] { return events.closings == 1; }));
    Evaluate("window.close()");
    EXPECT_TRUE(PumpUntil([&] { return events.closings == 2; }));
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->IsShown());
    EXPECT_TRUE(Load(BaseUrlW("web") + u"/", BaseUrlW("web") + u"/"));
}

TEST_F(Browser, AClosingTheSinkLetsThroughClosesTheTopLevelWindow)
{
    events.keepOpen = false;
    Json::Value switches;
    switches["closeWindow"] = true;
    Standin().Configure(switches);
    ASSERT_TRUE(Load(BuildLoginUrl(), BaseUrlW("web") + u"/login.php?"));
    EXPECT_TRUE(PumpUntil([&] { return !frame; }));
    EXPECT_EQ(browser->View(), nullptr);
}

TEST_F(Browser, ScriptDialogsAreAnsweredWithoutShowing)
{
    ASSERT_TRUE(Load(u"data:text/html,<title>start</title><script>alert('a');"
                     u"var p=prompt('b','c');document.title=(confirm('d')?'yes':'no')+'-'+p;</script>",
                     u"data:"));
    EXPECT_TRUE(PumpUntil([&] { return browser->View()->GetCurrentTitle() == "no-null"; }));
    EXPECT_EQ(OtherTopLevelWindows(), 0u);
}

class LoginInBrowser : public Browser {
protected:
    void SetUp() override
    {
        Browser::SetUp();
        Autosubmit();
    }
    // One login of the guest through the form, as the dialog runs it.
    void LogIn(CMyDHtmlDlg& login, RecordingMessages& messages)
    {
        login.m_strEmail = u"guest@example.com";
        login.m_strPassword = u"secret";
        login.Attach(*browser, messages);
        login.Navigate(BuildLoginUrl());
        ASSERT_TRUE(PumpUntil([&] { return messages.finished == 1; }));
    }
};

TEST_F(LoginInBrowser, TheFormIsFilledAndTheTokenCaptured)
{
    CMyDHtmlDlg login;
    RecordingMessages messages;
    LogIn(login, messages);

    const Json::Value logins = Standin().Received("login");
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0]["details"]["email"].asString(), "guest@example.com");
    EXPECT_TRUE(logins[0]["details"]["passwordMatched"].asBool());
    EXPECT_EQ(Utf16ToUtf8(login.AccessToken()), logins[0]["details"]["issuedToken"].asString());
    EXPECT_FALSE(login.AccessToken().empty());
    EXPECT_TRUE(login.m_bLoginPageSeen);
    EXPECT_TRUE(messages.notices.empty());
    EXPECT_EQ(messages.attemptsFailed, 0);
}

TEST_F(LoginInBrowser, ThePersistentCookiesGoToTheCookieFileTheCleanUpFinds)
{
    CMyDHtmlDlg login;
    RecordingMessages messages;
    LogIn(login, messages);
    ASSERT_TRUE(PumpUntil([] { return IsFacebookCookieFile(CookieFile()); })) << CookieFile();
    EXPECT_TRUE(DeleteFacebookCookieFile());
    EXPECT_FALSE(std::filesystem::exists(CookieFile()));
}

TEST_F(LoginInBrowser, AStillOpenSessionIsLoggedOutBeforeTheNextGuest)
{
    std::u16string firstToken;
    {
        CMyDHtmlDlg first;
        RecordingMessages messages;
        LogIn(first, messages);
        firstToken = first.AccessToken();
    }
    // A new login browser has seen no form: the dialog answers from the open session.
    CMyDHtmlDlg next;
    RecordingMessages messages;
    LogIn(next, messages);
    ASSERT_EQ(messages.notices.size(), 1u);
    EXPECT_EQ(messages.notices[0], u"Previous user still logged in, logging out of Facebook...");
    const Json::Value logouts = Standin().Received("logout");
    ASSERT_EQ(logouts.size(), 1u);
    EXPECT_TRUE(logouts[0]["details"]["sessionClosed"].asBool());
    EXPECT_EQ(Standin().Received("login").size(), 2u) << "the form was shown and sent again";
    EXPECT_FALSE(next.AccessToken().empty());
    EXPECT_NE(next.AccessToken(), firstToken);
}

}  // namespace
