// Handles: closing in any order, refusing closed or foreign handles and calls out of
// order, the options the client sets, and a close from another thread while a call waits.

#include "tests/support/WireServer.h"
#include "tests/wininet/InternetTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

using namespace wininettest;
using testsupport::Misbehaviour;
using testsupport::ScriptedReply;
using testsupport::WireServer;

namespace {

TEST(HandleLifetime, ClosingSessionAndConnectionFirstLeavesTheRequestWorking)
{
    WireServer server;
    server.Script("/", ScriptedReply{.body = "still here"});
    HINTERNET session = InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection =
        InternetConnectW(session, u"127.0.0.1", server.Port(), nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET request = HttpOpenRequestA(connection, "GET", "/", nullptr, nullptr, nullptr, INTERNET_FLAG_SECURE, 0);
    ASSERT_TRUE(session && connection && request);
    EXPECT_TRUE(InternetCloseHandle(session));
    EXPECT_TRUE(InternetCloseHandle(connection));
    ASSERT_TRUE(HttpSendRequestW(request, nullptr, 0, nullptr, 0)) << GetLastError();
    EXPECT_EQ(ReadBody(request), "still here");
    EXPECT_TRUE(InternetCloseHandle(request));
}

TEST(HandleLifetime, ClosingARequestMidBodyOrMidResponseIsClean)
{
    WireServer server;
    server.Script("/", ScriptedReply{.body = PatternBytes(600 * 1024)});
    {
        Exchange pushing(server.Port(), "POST", "/", true);
        ASSERT_TRUE(SendEx(pushing.Request(), 1'000'000));
        DWORD written = 0;
        ASSERT_TRUE(InternetWriteFile(pushing.Request(), "abc", 3, &written));
    }
    {
        Exchange reading(server.Port(), "GET", "/", true);
        ASSERT_TRUE(HttpSendRequestW(reading.Request(), nullptr, 0, nullptr, 0));
        char byte = 0;
        DWORD got = 0;
        ASSERT_TRUE(InternetReadFile(reading.Request(), &byte, 1, &got));
        reading.session.reset();
    }
    EXPECT_TRUE(server.WaitForOpenConnections(0));
}

TEST(HandleLifetime, ClosedUnknownAndForeignHandlesAreRefused)
{
    HINTERNET session = InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_TRUE(session);
    Handle connection(InternetConnectW(session, u"127.0.0.1", 1, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));

    EXPECT_FALSE(HttpOpenRequestA(session, "GET", "/", nullptr, nullptr, nullptr, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    EXPECT_FALSE(HttpSendRequestW(connection.get(), nullptr, 0, nullptr, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    EXPECT_FALSE(InternetConnectW(connection.get(), u"x", 1, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);

    EXPECT_TRUE(InternetCloseHandle(session));
    EXPECT_FALSE(InternetCloseHandle(session));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(InternetConnectW(session, u"x", 1, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(InternetCloseHandle(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(HandleLifetime, CallsOutOfOrderAreWrongState)
{
    Exchange exchange(testsupport::UnusedLocalPort(), "POST", "/", true);
    char buffer[4] = {};
    DWORD count = 0;
    DWORD length = sizeof count;
    EXPECT_FALSE(
        HttpQueryInfoW(exchange.Request(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &count, &length, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    EXPECT_FALSE(InternetReadFile(exchange.Request(), buffer, 1, &count));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    EXPECT_FALSE(InternetWriteFile(exchange.Request(), "x", 1, &count));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    EXPECT_FALSE(HttpEndRequestW(exchange.Request(), nullptr, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);

    EXPECT_FALSE(InternetWriteFile(exchange.Request(), "x", 1, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(
        HttpAddRequestHeadersA(exchange.Request(), "no colon here", static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD));
    EXPECT_EQ(GetLastError(), ERROR_HTTP_INVALID_HEADER);
}

TEST(HandleLifetime, OptionsTheClientSets)
{
    EXPECT_TRUE(InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0));

    Handle session = OpenSession();
    Handle connection = Connect(session.get(), 443);
    const std::u16string user = u"booth";
    EXPECT_TRUE(InternetSetOptionW(connection.get(), INTERNET_OPTION_PROXY_USERNAME,
                                   const_cast<char16_t*>(user.c_str()), static_cast<DWORD>(user.size())));
    EXPECT_TRUE(InternetSetOptionW(connection.get(), INTERNET_OPTION_PROXY_PASSWORD,
                                   const_cast<char16_t*>(user.c_str()), static_cast<DWORD>(user.size())));
    EXPECT_FALSE(InternetSetOptionW(session.get(), INTERNET_OPTION_PROXY_USERNAME, const_cast<char16_t*>(user.c_str()),
                                    static_cast<DWORD>(user.size())));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);

    WORD shortValue = 1;
    EXPECT_FALSE(InternetSetOptionW(nullptr, INTERNET_OPTION_CONNECT_TIMEOUT, &shortValue, sizeof shortValue));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_BAD_OPTION_LENGTH);
    DWORD value = 1;
    EXPECT_FALSE(InternetSetOptionW(nullptr, 9999, &value, sizeof value));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INVALID_OPTION);
}

// The proxy account goes to the proxy that the session names, and only there.
TEST(HandleLifetime, ProxyAccountReachesTheProxy)
{
    WireServer origin(testsupport::TlsMode::Plain);
    WireServer proxy(testsupport::TlsMode::Plain);
    const std::string proxyName = "127.0.0.1:" + std::to_string(proxy.Port());
    Handle session = OpenSession(INTERNET_OPEN_TYPE_PROXY, std::u16string(proxyName.begin(), proxyName.end()).c_str());
    Handle connection = Connect(session.get(), origin.Port());
    std::u16string user = u"booth";
    std::u16string password = u"secret";
    ASSERT_TRUE(InternetSetOptionW(connection.get(), INTERNET_OPTION_PROXY_USERNAME, user.data(),
                                   static_cast<DWORD>(user.size())));
    ASSERT_TRUE(InternetSetOptionW(connection.get(), INTERNET_OPTION_PROXY_PASSWORD, password.data(),
                                   static_cast<DWORD>(password.size())));
    Handle request = OpenRequest(connection.get(), "GET", "/", false);
    ASSERT_TRUE(HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) << GetLastError();
    ASSERT_TRUE(proxy.WaitForRequests(1));
    EXPECT_EQ(proxy.Requests()[0].Header("Proxy-Authorization"), "Basic Ym9vdGg6c2VjcmV0");
}

TEST(HandleLifetime, ClosingFromAnotherThreadCancelsAWaitingCall)
{
    WireServer server;
    server.Script("/", ScriptedReply{.misbehaviour = Misbehaviour::NeverAnswer});
    Handle session = OpenSession();
    Handle connection = Connect(session.get(), server.Port());
    HINTERNET request =
        HttpOpenRequestA(connection.get(), "GET", "/", nullptr, nullptr, nullptr, INTERNET_FLAG_SECURE, 0);
    ASSERT_TRUE(request);
    auto sent = std::async(std::launch::async, [request] {
        const BOOL ok = HttpSendRequestW(request, nullptr, 0, nullptr, 0);
        return ok ? DWORD{0} : GetLastError();
    });
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_TRUE(InternetCloseHandle(request));
    // Well inside the 30 s default stall limit.
    ASSERT_EQ(sent.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(sent.get(), ERROR_INTERNET_OPERATION_CANCELLED);
}

// A cancel closes a request from another thread and its owner closes it again later: the
// second close fails and leaves alone every request opened in between, even when the
// first one's memory has been reused by then.
TEST(HandleLifetime, ASecondCloseNeverClosesALaterRequest)
{
    WireServer server;
    Handle session = OpenSession();
    Handle connection = Connect(session.get(), server.Port());
    for (int round = 0; round < 8; ++round) {
        HINTERNET cancelled =
            HttpOpenRequestA(connection.get(), "GET", "/", nullptr, nullptr, nullptr, INTERNET_FLAG_SECURE, 0);
        ASSERT_TRUE(cancelled);
        ASSERT_TRUE(InternetCloseHandle(cancelled));
        Handle later = OpenRequest(connection.get(), "GET", "/", true);
        ASSERT_TRUE(later);
        EXPECT_NE(later.get(), cancelled);
        EXPECT_FALSE(InternetCloseHandle(cancelled));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_TRUE(HttpSendRequestW(later.get(), nullptr, 0, nullptr, 0)) << GetLastError();
    }
}

}  // namespace
