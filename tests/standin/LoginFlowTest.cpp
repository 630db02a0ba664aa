// The web host's login road as a browser walks it: dialog, form, wrong password, token
// redirect, session cookie shortcut, cancel, logout, and the page switches.

#include "tests/support/StandinProcess.h"

#include <gtest/gtest.h>

namespace standintest {

using testsupport::ParseJson;
using testsupport::StandinProcess;

namespace {

std::string PathOf(const std::string& url)
{
    const std::size_t scheme = url.find("://");
    return scheme == std::string::npos ? url : url.substr(url.find('/', scheme + 3));
}

std::string Unescape(std::string text)
{
    for (std::size_t at; (at = text.find("&amp;")) != std::string::npos;)
        text.replace(at, 5, "&");
    return text;
}

class LoginFlowTest : public ::testing::Test {
protected:
    // The client library percent-decodes header values, so the addresses are taken as
    // sent from the service's record.
    std::string SentLocation(const std::string& kind)
    {
        const Json::Value records = standin.Received(kind);
        return records[records.size() - 1]["answer"]["location"].asString();
    }

    std::string RedirectAddress() const
    {
        return "https://" + standin.HostPort("redirect") + "/facebook_login_success.htm";
    }

    std::string DialogPath() const
    {
        return "/v2.12/dialog/oauth?client_id=123456789012345&redirect_uri=" + RedirectAddress() +
               "&type=user_agent&response_type=token&display=popup&scope=user_photos,publish_actions";
    }

    // The dialog's answer for a browser without a session: the login form's address.
    std::string FormAddress()
    {
        const auto dialog = web->Get(DialogPath().c_str());
        EXPECT_EQ(dialog->status, 302);
        return SentLocation("oauth_dialog");
    }

    std::string FormAction(const std::string& formAddress)
    {
        const auto form = web->Get(PathOf(formAddress).c_str());
        const std::size_t at = form->body.find("action=\"");
        EXPECT_NE(at, std::string::npos);
        return Unescape(form->body.substr(at + 8, form->body.find('"', at + 8) - at - 8));
    }

    httplib::Result Submit(const std::string& action, const std::string& email, const std::string& pass,
                           const char* button = "login")
    {
        return web->Post(action.c_str(), httplib::Params{{"email", email}, {"pass", pass}, {button, "1"}});
    }

    std::string SessionCookie(const httplib::Response& response)
    {
        for (std::size_t i = 0; i < response.get_header_value_count("Set-Cookie"); ++i) {
            const std::string cookie = response.get_header_value("Set-Cookie", i);
            if (cookie.starts_with("xs="))
                return cookie.substr(0, cookie.find(';'));
        }
        return {};
    }

    std::string TokenOf(const std::string& location)
    {
        const std::string marker = "#access_token=";
        const std::size_t at = location.find(marker);
        if (at == std::string::npos)
            return {};
        return location.substr(at + marker.size(), location.find('&', at) - at - marker.size());
    }

    int MeStatus(const std::string& token)
    {
        return standin.Client("graph")->Get(("/v2.12/me?access_token=" + token + "&fields=name").c_str())->status;
    }

    StandinProcess standin;
    std::unique_ptr<httplib::Client> web = standin.Client("web");
};

TEST_F(LoginFlowTest, DialogWithoutSessionShowsTheFormWithEmailPassAndButton)
{
    const std::string address = FormAddress();
    EXPECT_TRUE(address.starts_with("https://" + standin.HostPort("web") + "/login.php?")) << address;
    EXPECT_EQ(address.find("login_attempt="), std::string::npos);

    const auto form = web->Get(PathOf(address).c_str());
    ASSERT_EQ(form->status, 200);
    EXPECT_NE(form->body.find("type=\"text\" name=\"email\""), std::string::npos);
    EXPECT_NE(form->body.find("type=\"password\" name=\"pass\""), std::string::npos);
    EXPECT_NE(form->body.find("type=\"submit\" name=\"login\""), std::string::npos);
    EXPECT_EQ(form->body.find("<script>"), std::string::npos);

    const Json::Value dialog = standin.Received("oauth_dialog")[0]["details"];
    EXPECT_EQ(dialog["client_id"].asString(), "123456789012345");
    EXPECT_EQ(dialog["response_type"].asString(), "token");
    EXPECT_EQ(dialog["scope"].asString(), "user_photos,publish_actions");
    EXPECT_EQ(dialog["outcome"].asString(), "login_form");
}

TEST_F(LoginFlowTest, WrongPasswordLeadsBackToTheFormWithLoginAttempt)
{
    const auto answer = Submit(FormAction(FormAddress()), "guest@example.com", "wrong");
    ASSERT_EQ(answer->status, 302);
    const std::string again = SentLocation("login");
    EXPECT_NE(again.find("/login.php?"), std::string::npos);
    EXPECT_NE(again.find("login_attempt="), std::string::npos);
    EXPECT_TRUE(SessionCookie(*answer).empty());

    const auto form = web->Get(PathOf(again).c_str());
    EXPECT_NE(form->body.find("name=\"email\""), std::string::npos);
    EXPECT_NE(form->body.find("incorrect"), std::string::npos);

    const Json::Value login = standin.Received("login")[0]["details"];
    EXPECT_EQ(login["outcome"].asString(), "wrong_password");
    EXPECT_EQ(login["email"].asString(), "guest@example.com");
    EXPECT_FALSE(login.isMember("pass"));
}

TEST_F(LoginFlowTest, GoodLoginRedirectsWithTokenAndLeavesAPersistentSessionCookie)
{
    const auto answer = Submit(FormAction(FormAddress()), "guest@example.com", "secret");
    ASSERT_EQ(answer->status, 302);
    const std::string location = SentLocation("login");
    EXPECT_TRUE(location.starts_with(RedirectAddress() + "#access_token=")) << location;
    EXPECT_NE(location.find("&expires_in=5400"), std::string::npos);
    EXPECT_EQ(MeStatus(TokenOf(location)), 200);

    bool persistent = false;
    for (std::size_t i = 0; i < answer->get_header_value_count("Set-Cookie"); ++i)
        persistent =
            persistent || answer->get_header_value("Set-Cookie", i).find("Max-Age=31536000") != std::string::npos;
    EXPECT_TRUE(persistent);
    EXPECT_FALSE(SessionCookie(*answer).empty());
}

TEST_F(LoginFlowTest, SessionCookieSendsTheDialogStraightToTheRedirectWithANewToken)
{
    const auto login = Submit(FormAction(FormAddress()), "guest@example.com", "secret");
    const std::string first = TokenOf(login->get_header_value("Location"));

    const auto again = web->Get(DialogPath().c_str(), {{"Cookie", "c_user=1; " + SessionCookie(*login)}});
    ASSERT_EQ(again->status, 302);
    const std::string second = TokenOf(again->get_header_value("Location"));
    EXPECT_FALSE(second.empty());
    EXPECT_NE(second, first);
    EXPECT_EQ(MeStatus(second), 200);
    EXPECT_EQ(standin.Received("oauth_dialog")[1]["details"]["outcome"].asString(), "session");
}

TEST_F(LoginFlowTest, CancelButtonAndDenySwitchGiveTheErrorRedirect)
{
    const std::string denied = RedirectAddress() +
                               "?error=access_denied&error_code=200&error_description=Permissions+error"
                               "&error_reason=user_denied#_=_";
    const std::string action = FormAction(FormAddress());
    Submit(action, "", "", "cancel");
    EXPECT_EQ(SentLocation("login"), denied);

    standin.Configure(ParseJson(R"({"denyLogin": true})"));
    Submit(action, "guest@example.com", "secret");
    EXPECT_EQ(SentLocation("login"), denied);
}

TEST_F(LoginFlowTest, LogoutWithTheTokenEndsTheTokenAndItsBrowserSession)
{
    const auto login = Submit(FormAction(FormAddress()), "guest@example.com", "secret");
    const std::string token = TokenOf(SentLocation("login"));
    const auto logout =
        web->Get(("/logout.php?access_token=" + token + "&next=http%3A%2F%2Flocalhost%2Flogout.html").c_str());
    EXPECT_EQ(logout->status, 200);
    EXPECT_EQ(MeStatus(token), 400);

    const Json::Value record = standin.Received("logout")[0];
    EXPECT_EQ(record["details"]["token"].asString(), token);
    EXPECT_EQ(record["details"]["next"].asString(), "http://localhost/logout.html");
    EXPECT_EQ(record["query"][0][0].asString(), "access_token");
    EXPECT_TRUE(record["details"]["sessionClosed"].asBool());

    // The browser that kept its cookie gets the form again, so a previous user's logout
    // followed by a new visit to the dialog cannot come back to the same session.
    web->Get(DialogPath().c_str(), {{"Cookie", SessionCookie(*login)}});
    EXPECT_NE(SentLocation("oauth_dialog").find("/login.php?"), std::string::npos);
}

TEST_F(LoginFlowTest, ScriptedOrSessionKeepingLogoutLeavesTheSessionOpen)
{
    const auto login = Submit(FormAction(FormAddress()), "guest@example.com", "secret");
    const httplib::Headers cookie{{"Cookie", SessionCookie(*login)}};
    standin.Script(ParseJson(R"({"path": "/logout.php", "status": 404, "times": 1})"));
    EXPECT_EQ(web->Get(("/logout.php?access_token=" + TokenOf(SentLocation("login")) + "&next=x").c_str())->status,
              404);
    web->Get(DialogPath().c_str(), cookie);
    const std::string token = TokenOf(SentLocation("oauth_dialog"));
    ASSERT_FALSE(token.empty());

    standin.Configure(ParseJson(R"({"logoutEndsSession": false})"));
    web->Get(("/logout.php?access_token=" + token + "&next=x").c_str());
    EXPECT_EQ(MeStatus(token), 400);
    web->Get(DialogPath().c_str(), cookie);
    EXPECT_FALSE(TokenOf(SentLocation("oauth_dialog")).empty());
}

TEST_F(LoginFlowTest, AutosubmitAndCloseWindowSwitchesChangeTheFormPage)
{
    standin.Configure(ParseJson(R"({"autosubmit": true, "autosubmitDelayMs": 50})"));
    const std::string address = FormAddress();
    const auto form = web->Get(PathOf(address).c_str());
    EXPECT_NE(form->body.find("getElementById('loginbutton').click()"), std::string::npos);
    EXPECT_NE(form->body.find("},50);"), std::string::npos);

    // After a failed attempt the page waits for a person, so a wrong password cannot loop.
    Submit(FormAction(address), "guest@example.com", "wrong");
    const auto retry = web->Get(PathOf(SentLocation("login")).c_str());
    EXPECT_EQ(retry->body.find("click()"), std::string::npos);

    standin.Configure(ParseJson(R"({"autosubmit": false, "closeWindow": true})"));
    EXPECT_NE(web->Get(PathOf(address).c_str())->body.find("window.close()"), std::string::npos);
}

TEST_F(LoginFlowTest, WebRootAnswersAndTheRedirectHostServesItsPage)
{
    EXPECT_EQ(web->Get("/")->status, 200);
    const auto page = standin.Client("redirect")->Get("/facebook_login_success.htm?error=access_denied");
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(standin.Received("redirect_page")[0]["details"]["error"].asString(), "access_denied");
}

}  // namespace
}  // namespace standintest
