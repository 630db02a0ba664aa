// Url-encoded posts, step by step and in one go, checked on the wire.

#include "ClientTestSupport.h"
#include "tests/support/WireServer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tavik;
using namespace clienttest;
using testsupport::WireServer;

namespace {

struct StepView {
    DWORD posted;
    DWORD total;
    DWORD postedCount;
};

StepView Snapshot(const CHttpClient& client)
{
    CHttpPostStat stat;
    client.QueryPostStat(stat);
    return {stat.ActualPostedByte(), stat.ActualTotalByte(), stat.PostedCount()};
}

}  // namespace

TEST(PostContext, StepsWriteNameValueAndSeparatorsAsAnnounced)
{
    WireServer server;
    CHttpClient client;
    Configure(client);
    client.AddParam(u"b", u"22");
    client.AddParam(u"a", u"1");
    const std::u16string url = server.BaseUrlW() + u"/v2.12/me/feed";
    client.StartPostContext(url.c_str());

    CHttpPostStat preview;
    client.QueryPostStat(preview);
    EXPECT_EQ(preview.PostedCount(), 1u);
    EXPECT_EQ(preview.CurrParamRemainByte(), 1u);
    EXPECT_EQ(preview.ActualPostedByte(), 0u);
    EXPECT_EQ(preview.ActualTotalByte(), 8u);
    EXPECT_FALSE(preview.CurrParamIsFile());

    // "a=", "1", "&b=", "22", then the response.
    std::vector<DWORD> postedAfterStep;
    CHttpResponse* response = nullptr;
    while ((response = client.ProceedContext(1024)) == nullptr)
        postedAfterStep.push_back(Snapshot(client).posted);
    EXPECT_EQ(postedAfterStep, (std::vector<DWORD>{2, 3, 6, 8}));
    EXPECT_FALSE(client.IsContextActive());
    EXPECT_EQ(ReadReply(response).status, 200u);

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests()[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/v2.12/me/feed");
    EXPECT_EQ(request.body, "a=1&b=22");
    EXPECT_EQ(request.Header("Content-Length").value_or(""), "8");
    EXPECT_EQ(request.Header("Content-Type").value_or(""), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.Header("Cache-Control").value_or(""), "no-cache");
    EXPECT_FALSE(request.Header("Expect").has_value());
}

TEST(PostContext, LongValueGoesInPiecesOfDesiredSize)
{
    WireServer server;
    CHttpClient client;
    Configure(client);
    const std::u16string message(2500, u'm');
    client.AddParam(u"message", message.c_str());
    const std::u16string url = server.BaseUrlW() + u"/post";
    client.StartPostContext(url.c_str());

    std::vector<DWORD> remain;
    for (;;) {
        CHttpPostStat stat;
        client.QueryPostStat(stat);
        if (stat._IsActive())
            remain.push_back(stat.CurrParamRemainByte());
        if (CHttpResponse* response = client.ProceedContext(1000)) {
            ReadReply(response);
            break;
        }
    }
    // Preview, after the name, after each of the 1000, 1000 and 500-byte pieces.
    EXPECT_EQ(remain, (std::vector<DWORD>{2500, 2500, 1500, 500, 0}));
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(server.Requests()[0].body, "message=" + std::string(2500, 'm'));
}

TEST(PostContext, EmptyNullAndNoParameters)
{
    WireServer server;
    const std::u16string url = server.BaseUrlW() + u"/albums";
    {
        CHttpClient client;
        Configure(client);
        client.AddParam(u"name", u"");
        client.AddParam(u"message", nullptr);
        client.AddParam(u"x", u"\u00e9 &=");
        ReadReply(client.ExecutePost(url.c_str()));
    }
    {
        CHttpClient client;
        Configure(client);
        client.StartPostContext(url.c_str());
        CHttpResponse* response = client.ProceedContext(1024);  // nothing to write
        ASSERT_NE(response, nullptr);
        ReadReply(response);
    }
    ASSERT_TRUE(server.WaitForRequests(2));
    const auto requests = server.Requests();
    EXPECT_EQ(requests[0].body, "message=&name=&x=%C3%A9+%26%3D");
    EXPECT_EQ(requests[1].body, "");
    EXPECT_EQ(requests[1].Header("Content-Length").value_or(""), "0");
}

TEST(PostContext, SettingsAreRefusedWhileActiveAndStepChecks)
{
    WireServer server;
    CHttpClient client;
    Configure(client);
    client.AddParam(u"a", u"1");
    const std::u16string url = server.BaseUrlW() + u"/p";

    EXPECT_THROW(client.ProceedContext(1), httpclientexceptionW);  // no context: 104
    try {
        client.ProceedContext(1);
    } catch (const httpclientexceptionW& e) {
        EXPECT_EQ(e.ErrorCode(), 104u);
    }

    client.StartPostContext(url.c_str());
    auto message = [](auto&& call) {
        try {
            call();
        } catch (const httpclientexceptionW& e) {
            return std::u16string(e.Message());
        }
        return std::u16string(u"<nothing thrown>");
    };
    EXPECT_EQ(message([&] { client.AddParam(u"b", u"2"); }),
              u"CHttpClientT::AddParam: It is not allowed to call this method if the POST context is active.");
    EXPECT_EQ(message([&] { client.SetUseUtf8(false); }),
              u"CHttpClientT::SetUseUtf8: It is not allowed to call this method if the POST context is active.");
    EXPECT_EQ(message([&] { client.ProceedContext(0); }),
              u"CHttpClientT::_ProceedPostContext: nDesired can not be zero.");
    EXPECT_TRUE(client.IsContextActive());  // refused steps change nothing

    CHttpResponse* response = nullptr;
    while ((response = client.ProceedContext(1024)) == nullptr) {
    }
    ReadReply(response);
    ASSERT_TRUE(server.WaitForRequests(1));
    EXPECT_EQ(server.Requests()[0].body, "a=1");
}

TEST(PostContext, NewStartOrGetAbandonsTheActiveContext)
{
    WireServer server;
    CHttpClient client;
    Configure(client);
    client.AddParam(u"a", u"12345");
    const std::u16string first = server.BaseUrlW() + u"/first";
    const std::u16string second = server.BaseUrlW() + u"/second";
    client.StartPostContext(first.c_str());
    client.ProceedContext(1024);
    client.StartPostContext(second.c_str());

    CHttpPostStat stat;
    client.QueryPostStat(stat);
    EXPECT_EQ(stat.ActualPostedByte(), 0u);  // the new request only

    CHttpResponse* response = nullptr;
    while ((response = client.ProceedContext(2)) == nullptr) {
    }
    ReadReply(response);
    ReadReply(client.ExecuteGet(second.c_str()));

    // The abandoned request never completed; the two that followed did.
    ASSERT_TRUE(server.WaitForRequests(2));
    int completeToSecond = 0;
    for (const auto& request : server.Requests()) {
        if (request.target == "/first") {
            EXPECT_FALSE(request.complete);
        }
        if (request.method == "POST" && request.target == "/second") {
            EXPECT_EQ(request.body, "a=12345");
            ++completeToSecond;
        }
        if (request.method == "GET") {
            EXPECT_EQ(request.target, "/second?a=12345");
            ++completeToSecond;
        }
    }
    EXPECT_EQ(completeToSecond, 2);
}
