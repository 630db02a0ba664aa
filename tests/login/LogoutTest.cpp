// The logout: the token on the logout page's query, and the status each outcome gives.

#include "login/LoginSession.h"
#include "platform/win32/Utf.h"
#include "tests/support/ScopedEnvironmentVariable.h"
#include "tests/support/WireServer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using testsupport::ScriptedReply;
using testsupport::WireServer;

namespace {

class Logout : public ::testing::Test {
protected:
    void SetUp() override
    {
        WebHost(web.HostPort());
        session.SetAccessToken(u"TOKEN/1 \u00E9");
    }
    void WebHost(const std::string& host)
    {
        webHost.reset();
        webHost.emplace("ZENDRIK_WEB_HOST", host);
    }
    void Answer(int status, const std::string& reason)
    {
        ScriptedReply reply;
        reply.status = status;
        reply.reason = reason;
        reply.body = "<html></html>";
        web.Script("/logout.php", reply);
    }
    std::string Message() const { return Utf16ToUtf8(message); }

    WireServer web;
    std::optional<ScopedEnvironmentVariable> webHost;
    CLoginSession session;
    std::u16string message = u"left over";
};

}  // namespace

TEST_F(Logout, SendsTheTokenAndTheNextAddressInNameOrder)
{
    Answer(200, "OK");
    EXPECT_EQ(session.LogoutFromFacebook(message), 200);
    EXPECT_EQ(Message(), "OK");
    EXPECT_TRUE(session.AccessToken().empty());
    ASSERT_TRUE(web.WaitForRequests(1));
    const auto request = web.Requests().at(0);
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target,
              "/logout.php?access%5Ftoken=TOKEN%2F1+%C3%A9&next=http%3A%2F%2Flocalhost%2Flogout%2Ehtml");
    EXPECT_EQ(request.Header("User-Agent").value_or(""), "Orvane Systems User Agent v1.0");
}

TEST_F(Logout, AnyOtherStatusComesBackWithItsText)
{
    Answer(404, "Not Found");
    EXPECT_EQ(session.LogoutFromFacebook(message), 404);
    EXPECT_EQ(Message(), "Not Found");
    EXPECT_TRUE(session.AccessToken().empty());

    session.SetAccessToken(u"T2");
    Answer(500, "Internal Server Error");
    EXPECT_EQ(session.LogoutFromFacebook(message), 500);
    EXPECT_EQ(Message(), "Internal Server Error");
}

TEST_F(Logout, WithoutATokenNothingIsSent)
{
    session.SetAccessToken(u"");
    EXPECT_EQ(session.LogoutFromFacebook(message), 0);
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(web.ConnectionsAccepted(), 0u);
}

TEST_F(Logout, RefusedConnectionCountsAsLoggedOut)
{
    WebHost("127.0.0.1:" + std::to_string(testsupport::UnusedLocalPort()));
    EXPECT_EQ(session.LogoutFromFacebook(message), 200);
    EXPECT_EQ(Message(), "");
    EXPECT_TRUE(session.AccessToken().empty());
}

TEST_F(Logout, UnknownHostIsReportedByNumberAndName)
{
    WebHost("no-such-host.invalid");
    EXPECT_EQ(session.LogoutFromFacebook(message), 0);
    EXPECT_EQ(Message(), "Exception, error code=12007: ERROR_INTERNET_NAME_NOT_RESOLVED");
    EXPECT_TRUE(session.AccessToken().empty());
}

TEST_F(Logout, ErrorWithoutAKnownNameHasOnlyItsNumber)
{
    // An empty host is refused by the client itself, with no system error.
    WebHost(":443");
    EXPECT_EQ(session.LogoutFromFacebook(message), 0);
    EXPECT_EQ(Message(), "Exception, error code=0");
    EXPECT_TRUE(session.AccessToken().empty());
}
