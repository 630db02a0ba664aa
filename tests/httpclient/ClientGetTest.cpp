// One-shot GET requests, checked on the wire.

#include "ClientTestSupport.h"
#include "tests/support/Backend.h"
#include "tests/support/WireServer.h"

#include <gtest/gtest.h>

using namespace Tavik;
using namespace clienttest;
using testsupport::ScriptedReply;
using testsupport::WireServer;

TEST(ClientGet, ParametersHeadersAndReplyOnTheWire)
{
    WireServer server;
    ScriptedReply scripted;
    scripted.status = 404;
    scripted.reason = "Not Found";
    scripted.body = R"({"error":"none here"})";
    server.Script("/p", scripted);

    CHttpClient client;
    Configure(client);
    client.AddParam(u"b", u"2");
    client.AddParam(u"a", u"1 x");
    const std::u16string url = server.BaseUrlW() + u"/p#frag";
    const Reply reply = ReadReply(client.ExecuteGet(url.c_str()));

    EXPECT_EQ(reply.status, 404u);
    EXPECT_EQ(reply.statusText, u"Not Found");
    EXPECT_EQ(reply.body, R"({"error":"none here"})");

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests().at(0);
    // Parameters in name order; the fragment never leaves our client, while the real
    // library sends the object name as it was given.
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, testsupport::kRealWindowsLibraries ? "/p?a=1+x&b=2#frag" : "/p?a=1+x&b=2");
    EXPECT_EQ(request.Header("User-Agent").value_or(""), "Orvane Systems User Agent v1.0");
    EXPECT_EQ(request.Header("Cache-Control").value_or(""), "no-cache");
    EXPECT_FALSE(request.Header("Expect").has_value());
    EXPECT_EQ(request.Header("Host").value_or(""), server.HostPort());
    EXPECT_TRUE(request.body.empty());
}

TEST(ClientGet, AddressWithoutParametersIsSentUnchangedAndParamsSurviveReuse)
{
    WireServer server;
    {
        CHttpClient client;
        Configure(client);
        const std::u16string url = server.BaseUrlW() + u"/v2.12/me?fields=id,name";
        EXPECT_EQ(ReadReply(client.ExecuteGet(url.c_str())).status, 200u);
    }
    CHttpClient client;
    Configure(client);
    client.AddParam(u"access_token", u"T0K");
    const std::u16string noPath = server.BaseUrlW();
    ReadReply(client.ExecuteGet(noPath.c_str()));
    ReadReply(client.ExecuteGet(noPath.c_str()));  // the same parameters again

    ASSERT_TRUE(server.WaitForRequests(3));
    const auto requests = server.Requests();
    EXPECT_EQ(requests[0].target, "/v2.12/me?fields=id,name");
    EXPECT_EQ(requests[1].target, "/?access%5Ftoken=T0K");
    EXPECT_EQ(requests[2].target, "/?access%5Ftoken=T0K");
}

TEST(ClientGet, DefaultUserAgentWhenNoneIsSet)
{
    WireServer server;
    CHttpClient client;
    const std::u16string url = server.BaseUrlW() + u"/";
    ReadReply(client.ExecuteGet(url.c_str()));
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(server.Requests()[0].Header("User-Agent").value_or(""), "Tavik HTTP Client Class");
}

TEST(ClientGet, PlainHttpAndResponseOutlivesItsClient)
{
    WireServer server(testsupport::TlsMode::Plain);
    ScriptedReply scripted;
    scripted.body = "plain body";
    server.Script("/", scripted);
    CHttpResponse* response = nullptr;
    {
        CHttpClient client;
        Configure(client);
        const std::u16string url = server.BaseUrlW() + u"/x";
        response = client.ExecuteGet(url.c_str());
    }
    const Reply reply = ReadReply(response);
    EXPECT_EQ(reply.status, 200u);
    EXPECT_EQ(reply.statusText, u"OK");
    EXPECT_EQ(reply.body, "plain body");
}

TEST(ClientGet, MakeGetUrlSplicesParametersAroundQueryAndFragment)
{
    CHttpClient client;
    client.AddParam(u"b", u"2");
    client.AddParam(u"a", u"1");
    auto make = [&](const char16_t* url) {
        std::u16string buffer(client.MakeGetUrlLen(url) + 1, u'\xFFFF');
        client.MakeGetUrl(buffer.data(), url);
        const std::u16string written(buffer.c_str());
        EXPECT_EQ(written.size(), client.MakeGetUrlLen(url));
        return written;
    };
    EXPECT_EQ(make(u"http://server/p"), u"http://server/p?a=1&b=2");
    EXPECT_EQ(make(u"http://server/p?x=0"), u"http://server/p?x=0&a=1&b=2");
    EXPECT_EQ(make(u"http://server"), u"http://server/?a=1&b=2");
    EXPECT_EQ(make(u"http://server/p#top"), u"http://server/p?a=1&b=2#top");
    EXPECT_EQ(make(nullptr), u"a=1&b=2");
    EXPECT_EQ(client.MakeGetUrlLen(nullptr), 7u);
}

TEST(ClientGet, AlreadyEncodedNamesAndValuesAreNotEncodedAgain)
{
    CHttpClient client;
    client.AddParam(u"n%41", u"v+1", PARAM_FLAG_ENCODED_NAME | PARAM_FLAG_ENCODED_VALUE);
    client.AddParam(u"o k", u"\u00e9");
    client.SetUseUtf8(true);
    std::u16string buffer(client.MakeGetUrlLen(u"http://s/") + 1, u'\0');
    client.MakeGetUrl(buffer.data(), u"http://s/");
    EXPECT_EQ(std::u16string(buffer.c_str()), u"http://s/?n%41=v+1&o+k=%C3%A9");
}
