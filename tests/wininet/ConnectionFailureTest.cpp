// Failures with a real peer, or with none: each ends the call that meets it with the
// internet library's error number as the thread's last error.

#include "tests/support/WireServer.h"
#include "tests/wininet/InternetTestSupport.h"

#include <gtest/gtest.h>

using namespace wininettest;
using testsupport::Misbehaviour;
using testsupport::ScriptedReply;
using testsupport::TlsMode;
using testsupport::WireServer;

namespace {

DWORD FailureOfGet(std::uint16_t port, bool secure = true, const char16_t* host = u"127.0.0.1")
{
    Exchange exchange(port, "GET", "/", secure, host);
    if (!exchange.Request()) {
        return 1;  // the connection step must not fail: it only records the server
    }
    if (HttpSendRequestW(exchange.Request(), nullptr, 0, nullptr, 0)) {
        return 0;
    }
    return GetLastError();
}

DWORD FailureOfPushedStart(std::uint16_t port, const char16_t* host = u"127.0.0.1")
{
    Exchange exchange(port, "POST", "/", true, host);
    if (!exchange.Request()) {
        return 1;
    }
    return SendEx(exchange.Request(), 1000) ? 0 : GetLastError();
}

TEST(ConnectionFailure, RefusedConnectionSurfacesWhenTheRequestIsSent)
{
    const std::uint16_t port = testsupport::UnusedLocalPort();
    EXPECT_EQ(FailureOfGet(port), ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_EQ(FailureOfPushedStart(port), ERROR_INTERNET_CANNOT_CONNECT);
}

TEST(ConnectionFailure, NameThatCannotResolve)
{
    // Under the reserved domain "invalid": refused locally, no name server is asked.
    EXPECT_EQ(FailureOfGet(443, true, u"no-such-host.invalid"), ERROR_INTERNET_NAME_NOT_RESOLVED);
    EXPECT_EQ(FailureOfPushedStart(443, u"upload.example.invalid."), ERROR_INTERNET_NAME_NOT_RESOLVED);
    EXPECT_EQ(FailureOfGet(443, true, u"bad/host@name"), ERROR_INTERNET_NAME_NOT_RESOLVED);
}

TEST(ConnectionFailure, ServerThatNeverAnswersTimesOut)
{
    ScopedTimeouts guard(5'000, 5'000, 1'000);
    WireServer server;
    server.Script("/", ScriptedReply{.misbehaviour = Misbehaviour::NeverAnswer});
    EXPECT_EQ(FailureOfGet(server.Port()), ERROR_INTERNET_TIMEOUT);
}

TEST(ConnectionFailure, SessionTimeoutOverridesTheProcessDefault)
{
    WireServer server;
    server.Script("/", ScriptedReply{.misbehaviour = Misbehaviour::NeverAnswer});
    Exchange exchange(server.Port(), "GET", "/", true);
    DWORD ms = 800;
    ASSERT_TRUE(InternetSetOptionW(exchange.session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms));
    EXPECT_FALSE(HttpSendRequestW(exchange.Request(), nullptr, 0, nullptr, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_TIMEOUT);
}

TEST(ConnectionFailure, CertificateThatFailsVerificationReachesNoHandler)
{
    const struct {
        TlsMode mode;
        DWORD error;
    } cases[] = {{TlsMode::Untrusted, ERROR_INTERNET_INVALID_CA},
                 {TlsMode::WrongHost, ERROR_INTERNET_SEC_CERT_CN_INVALID}};
    for (const auto& expected : cases) {
        SCOPED_TRACE(static_cast<int>(expected.mode));
        WireServer server(expected.mode);
        EXPECT_EQ(FailureOfGet(server.Port()), expected.error);
        EXPECT_EQ(FailureOfPushedStart(server.Port()), expected.error);
        EXPECT_TRUE(server.Requests().empty());
    }
}

TEST(ConnectionFailure, GarbageOrNothingBackIsAnInvalidResponse)
{
    for (const Misbehaviour answer : {Misbehaviour::GarbageAnswer, Misbehaviour::CloseWithoutAnswer}) {
        SCOPED_TRACE(static_cast<int>(answer));
        WireServer server;
        server.Script("/", ScriptedReply{.misbehaviour = answer});
        EXPECT_EQ(FailureOfGet(server.Port()), ERROR_HTTP_INVALID_SERVER_RESPONSE);
    }
}

TEST(ConnectionFailure, CheckConnectionNeedsAWorkingHandshake)
{
    WireServer trusted;
    EXPECT_TRUE(InternetCheckConnectionW((trusted.BaseUrlW() + u"/").c_str(), FLAG_ICC_FORCE_CONNECTION, 0));

    WireServer plain(TlsMode::Plain);
    EXPECT_TRUE(InternetCheckConnectionW(plain.BaseUrlW().c_str(), FLAG_ICC_FORCE_CONNECTION, 0));

    WireServer untrusted(TlsMode::Untrusted);
    EXPECT_FALSE(InternetCheckConnectionW(untrusted.BaseUrlW().c_str(), FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INVALID_CA);

    const std::string refused = "https://127.0.0.1:" + std::to_string(testsupport::UnusedLocalPort()) + "/";
    EXPECT_FALSE(
        InternetCheckConnectionW(std::u16string(refused.begin(), refused.end()).c_str(), FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_CANNOT_CONNECT);

    EXPECT_FALSE(InternetCheckConnectionW(u"https://www.example.invalid/", FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_NAME_NOT_RESOLVED);
    EXPECT_FALSE(InternetCheckConnectionW(u"ftp://127.0.0.1/", FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_UNRECOGNIZED_SCHEME);

    // Only handshakes: nothing reached a request handler.
    EXPECT_TRUE(trusted.Requests().empty());
    EXPECT_TRUE(plain.Requests().empty());
}

}  // namespace
