// Requests with the whole exchange in one send: what goes on the wire, and how the
// response's status, reason phrase and body come back.

#include "tests/support/WireServer.h"
#include "tests/wininet/InternetTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace wininettest;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;
using testsupport::TlsMode;
using testsupport::WireServer;

namespace {

RecordedRequest OnlyRequest(const WireServer& server)
{
    EXPECT_TRUE(server.WaitForRequests(1));
    const auto requests = server.Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? RecordedRequest{} : requests.front();
}

TEST(RequestWire, GetCarriesUserAgentAddedHeadersAndPathButNoFragment)
{
    WireServer server;
    Exchange exchange(server.Port(), nullptr, "/v2.12/me?fields=id,name#section", true);
    ASSERT_TRUE(exchange.Request());
    ASSERT_TRUE(AddHeader(exchange.Request(), "Cache-Control: no-cache\r\n"));
    ASSERT_TRUE(AddHeader(exchange.Request(), "X-First: 1\r\nX-Second: two words\r\n"));
    ASSERT_TRUE(AddHeader(exchange.Request(), "X-Empty: \r\n"));
    ASSERT_TRUE(HttpSendRequestW(exchange.Request(), nullptr, 0, nullptr, 0)) << GetLastError();

    const RecordedRequest request = OnlyRequest(server);
    EXPECT_TRUE(request.raw.starts_with("GET /v2.12/me?fields=id,name HTTP/1.1\r\n")) << request.raw;
    EXPECT_EQ(request.Header("User-Agent"), "Orvane Systems User Agent v1.0");
    EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
    EXPECT_EQ(request.Header("X-First"), "1");
    EXPECT_EQ(request.Header("X-Second"), "two words");
    EXPECT_EQ(request.Header("X-Empty"), "");
    EXPECT_EQ(request.Header("Accept"), "*/*");
    EXPECT_EQ(request.Header("Host"), "127.0.0.1:" + std::to_string(server.Port()));
    EXPECT_FALSE(request.Header("Expect"));
    EXPECT_FALSE(request.Header("Content-Type"));
    EXPECT_EQ(request.raw.find('#'), std::string::npos);
}

TEST(RequestWire, PlainRequestWithoutSecureFlagUsesHttp)
{
    WireServer server(TlsMode::Plain);
    Exchange exchange(server.Port(), "DELETE", "/item/7", false);
    ASSERT_TRUE(HttpSendRequestW(exchange.Request(), nullptr, 0, nullptr, 0)) << GetLastError();
    EXPECT_EQ(OnlyRequest(server).method, "DELETE");
    EXPECT_EQ(StatusOf(exchange.Request()), 200u);
}

TEST(RequestWire, StatusCodeAndReasonPhraseOfTheFinalStatusLine)
{
    WireServer server;
    server.Script("/missing", ScriptedReply{.status = 404, .reason = "Not Found", .body = "{\"error\":1}"});
    server.Script("/bad", ScriptedReply{.status = 400, .reason = "Bad Request"});
    server.Script("/slow", ScriptedReply{.status = 201, .reason = "Created", .interimStatus = 102});
    server.Script("/continue", ScriptedReply{.status = 200, .reason = "OK", .body = "x", .interimStatus = 100});
    const struct {
        const char* path;
        DWORD status;
        std::u16string reason;
    } cases[] = {{"/missing", 404, u"Not Found"},
                 {"/bad", 400, u"Bad Request"},
                 {"/slow", 201, u"Created"},
                 {"/continue", 200, u"OK"}};
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.path);
        Exchange exchange(server.Port(), "GET", expected.path, true);
        ASSERT_TRUE(HttpSendRequestW(exchange.Request(), nullptr, 0, nullptr, 0)) << GetLastError();
        EXPECT_EQ(StatusOf(exchange.Request()), expected.status);
        EXPECT_EQ(ReasonOf(exchange.Request()), expected.reason);
    }
}

TEST(RequestWire, StatusTextLengthCountsTheTerminatorWhenAskingForRoom)
{
    WireServer server;
    server.Script("/", ScriptedReply{.status = 404, .reason = "Not Found"});
    Exchange exchange(server.Port(), "GET", "/", true);
    ASSERT_TRUE(HttpSendRequestW(exchange.Request(), nullptr, 0, nullptr, 0));

    DWORD length = 0;
    EXPECT_FALSE(HttpQueryInfoW(exchange.Request(), HTTP_QUERY_STATUS_TEXT, nullptr, &length, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(length, (9u + 1u) * 2u);

    char16_t small[4] = {};
    length = sizeof small;
    EXPECT_FALSE(HttpQueryInfoW(exchange.Request(), HTTP_QUERY_STATUS_TEXT, small, &length, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(length, 20u);

    char16_t text[10] = {};
    length = sizeof text;
    ASSERT_TRUE(HttpQueryInfoW(exchange.Request(), HTTP_QUERY_STATUS_TEXT, text, &length, nullptr));
    EXPECT_EQ(std::u16string(text), u"Not Found");
    EXPECT_EQ(length, 18u);

    DWORD tooSmall = 0;
    length = 2;
    EXPECT_FALSE(HttpQueryInfoW(exchange.Request(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &tooSmall, &length,
                                nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(length, 4u);
}

TEST(RequestWire, BodyIsReadToTheEndAndThenZeroAgain)
{
    WireServer server;
    // Larger than what the layer buffers before it pauses receiving.
    const std::string body = PatternBytes(700 * 1024);
    server.Script("/big", ScriptedReply{.body = body});
    Exchange exchange(server.Port(), "GET", "/big", true);
    ASSERT_TRUE(HttpSendRequestW(exchange.Request(), nullptr, 0, nullptr, 0));

    std::string read;
    for (int i = 0; i < 1000; ++i) {
        char byte = 0;
        DWORD got = 0;
        ASSERT_TRUE(InternetReadFile(exchange.Request(), &byte, 1, &got));
        ASSERT_EQ(got, 1u);
        read += byte;
    }
    read += ReadBody(exchange.Request(), 4096);
    EXPECT_TRUE(read == body) << "read " << read.size() << " of " << body.size() << " bytes";
    for (int i = 0; i < 3; ++i) {
        char byte = 0;
        DWORD got = 5;
        EXPECT_TRUE(InternetReadFile(exchange.Request(), &byte, 1, &got));
        EXPECT_EQ(got, 0u);
    }
}

TEST(RequestWire, RedirectsAreFollowedUnlessTheRequestSaysNot)
{
    WireServer server;
    server.Script(
        "/old", ScriptedReply{.status = 302, .reason = "Found", .headers = {{"Location", "/new"}}, .body = "old body"});
    server.Script("/new", ScriptedReply{.body = "new body"});
    {
        Exchange exchange(server.Port(), "GET", "/old", true);
        ASSERT_TRUE(HttpSendRequestW(exchange.Request(), nullptr, 0, nullptr, 0)) << GetLastError();
        EXPECT_EQ(StatusOf(exchange.Request()), 200u);
        EXPECT_EQ(ReadBody(exchange.Request()), "new body");
        ASSERT_TRUE(server.WaitForRequests(2));
        EXPECT_EQ(server.Requests()[1].target, "/new");
    }
    Handle session = OpenSession();
    Handle connection = Connect(session.get(), server.Port());
    Handle request(HttpOpenRequestA(connection.get(), "GET", "/old", nullptr, nullptr, nullptr,
                                    INTERNET_FLAG_SECURE | INTERNET_FLAG_NO_AUTO_REDIRECT, 0));
    ASSERT_TRUE(HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0));
    EXPECT_EQ(StatusOf(request.get()), 302u);
    EXPECT_EQ(ReasonOf(request.get()), u"Found");
    EXPECT_EQ(ReadBody(request.get()), "old body");
}

// A proxy that is itself a recording server sees the absolute address of a plain request.
TEST(RequestWire, NamedProxyAndEnvironmentProxyCarryTheRequest)
{
    WireServer origin(TlsMode::Plain);
    WireServer proxy(TlsMode::Plain);
    const std::string absolute = origin.BaseUrl() + "/via-proxy";
    const std::u16string proxyName = u"127.0.0.1:" + [&] {
        const std::string port = std::to_string(proxy.Port());
        return std::u16string(port.begin(), port.end());
    }();
    {
        Handle session = OpenSession(INTERNET_OPEN_TYPE_PROXY, proxyName.c_str());
        Handle connection = Connect(session.get(), origin.Port());
        Handle request = OpenRequest(connection.get(), "GET", "/via-proxy", false);
        ASSERT_TRUE(HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) << GetLastError();
        ASSERT_TRUE(proxy.WaitForRequests(1));
        EXPECT_EQ(proxy.Requests()[0].target, absolute);
    }
    const std::string proxyUrl = proxy.BaseUrl();
    ::setenv("http_proxy", proxyUrl.c_str(), 1);
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");
    {
        Handle session = OpenSession(INTERNET_OPEN_TYPE_PRECONFIG);
        Handle connection = Connect(session.get(), origin.Port());
        Handle request = OpenRequest(connection.get(), "GET", "/via-proxy", false);
        const BOOL sent = HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0);
        ::unsetenv("http_proxy");
        ASSERT_TRUE(sent) << GetLastError();
        ASSERT_TRUE(proxy.WaitForRequests(2));
        EXPECT_EQ(proxy.Requests()[1].target, absolute);
    }
    EXPECT_TRUE(origin.Requests().empty());
}

}  // namespace
