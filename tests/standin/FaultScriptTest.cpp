// Scripted answers and faults, as the uploader's failure lines need them, seen from a
// client: reason phrases, replaced bodies, numeric ids, a dropped upload, a delay, an
// endless answer, discarding uploads, and the reset.

#include "tests/support/StandinProcess.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>

namespace standintest {

using testsupport::ParseJson;
using testsupport::StandinProcess;

namespace {

// One GET over TLS, as the listeners speak it, read with the raw socket in view.
class TlsExchange {
public:
    TlsExchange(int port, const std::string& target)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            SSL_set_fd(tls_.get(), fd_) != 1 || SSL_connect(tls_.get()) != 1)
            return;
        const std::string request = "GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
        connected_ = SSL_write(tls_.get(), request.data(), static_cast<int>(request.size())) > 0;
    }
    ~TlsExchange()
    {
        tls_.reset();
        close(fd_);
    }

    // The status line exactly as it arrives.
    std::string StatusLine()
    {
        std::string received;
        char buffer[512];
        for (int got; connected_ && received.find("\r\n") == std::string::npos &&
                      (got = SSL_read(tls_.get(), buffer, sizeof buffer)) > 0;)
            received.append(buffer, static_cast<std::size_t>(got));
        return received.substr(0, received.find("\r\n") + 2);
    }
    // How the connection ends: 0 for a close, else the receive's errno (-1: never connected).
    int End()
    {
        if (!connected_)
            return -1;
        char buffer[512];
        int got = 0;
        errno = 0;
        while ((got = SSL_read(tls_.get(), buffer, sizeof buffer)) > 0) {
        }
        return SSL_get_error(tls_.get(), got) == SSL_ERROR_ZERO_RETURN ? 0 : errno;
    }

private:
    int fd_ = socket(AF_INET, SOCK_STREAM, 0);
    std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context_{SSL_CTX_new(TLS_client_method()), SSL_CTX_free};
    std::unique_ptr<SSL, decltype(&SSL_free)> tls_{SSL_new(context_.get()), SSL_free};
    bool connected_ = false;
};

std::string StatusLine(int port, const std::string& target) { return TlsExchange(port, target).StatusLine(); }
int EndOfConnection(int port, const std::string& target) { return TlsExchange(port, target).End(); }

TEST(FaultScriptTest, ScriptedStatusReasonAndBodyApplyAsOftenAsAsked)
{
    StandinProcess standin{{"--token", "T1"}};
    standin.Script(ParseJson(R"({"host": "graph", "path": "/v2.12/me/albums", "status": 503,
                                 "reason": "Try Later", "body": "not json", "times": 1})"));
    auto graph = standin.Client("graph");
    const auto scripted = graph->Get("/v2.12/me/albums?access_token=T1");
    EXPECT_EQ(scripted->status, 503);
    EXPECT_EQ(scripted->reason, "Try Later");
    EXPECT_EQ(scripted->body, "not json");
    EXPECT_EQ(graph->Get("/v2.12/me/albums?access_token=T1")->status, 200);

    const Json::Value record = standin.Received("albums_list")[0];
    EXPECT_TRUE(record["answer"]["scripted"].asBool());
    EXPECT_EQ(record["answer"]["reason"].asString(), "Try Later");
}

TEST(FaultScriptTest, ReasonAloneChangesTheNormalAnswerEvenToNothing)
{
    StandinProcess standin;
    standin.Script(ParseJson(R"({"host": "gif-upload", "path": "/v1/gifs*", "reason": ""})"));
    EXPECT_EQ(StatusLine(standin.Port("gif-upload"), "/v1/gifs/none"), "HTTP/1.1 404 \r\n");
}

TEST(FaultScriptTest, QueryContainsAndSkipPickTheRequest)
{
    StandinProcess standin{{"--token", "T1"}};
    standin.Script(ParseJson(R"({"path": "/v2.12/me", "queryContains": "fields=id", "skip": 1,
                                 "json": {"error": {"code": 190}}, "status": 400})"));
    auto graph = standin.Client("graph");
    EXPECT_EQ(graph->Get("/v2.12/me?access_token=T1&fields=id")->status, 200);
    EXPECT_EQ(graph->Get("/v2.12/me?access_token=T1&fields=name")->status, 200);
    const auto third = graph->Get("/v2.12/me?access_token=T1&fields=id");
    EXPECT_EQ(third->status, 400);
    EXPECT_EQ(ParseJson(third->body)["error"]["code"].asInt(), 190);
}

TEST(FaultScriptTest, IdAsNumberKeepsTheAnswerButTurnsTheIdIntoANumber)
{
    StandinProcess standin;
    standin.Script(ParseJson(R"({"path": "/v1/gifs", "idAsNumber": true})"));
    const auto answer =
        standin.Client("gif-upload")
            ->Post("/v1/gifs", httplib::MultipartFormDataItems{{"api_key", "Qv7mRtX2pLw9K", "", ""},
                                                               {"file", "GIF89a;", "a.gif", "image/gif"}});
    EXPECT_EQ(answer->status, 200);
    EXPECT_TRUE(ParseJson(answer->body)["data"]["id"].isNumeric()) << answer->body;
}

TEST(FaultScriptTest, DroppedUploadGetsNoAnswerAndIsRecordedUpToTheChosenByte)
{
    StandinProcess standin{{"--token", "T1"}};
    standin.Script(ParseJson(R"({"path": "/v2.12/me/photos", "dropAfterBodyBytes": 1000})"));
    const auto answer = standin.Client("graph")->Post(
        "/v2.12/me/photos",
        httplib::MultipartFormDataItems{{"access_token", "T1", "", ""},
                                        {"ufile01", std::string(400000, 'p'), "p.jpg", "image/jpeg"}});
    EXPECT_FALSE(answer);
    const Json::Value record = standin.Received("photo")[0];
    EXPECT_EQ(record["bodyBytes"].asUInt64(), 1000u);
    EXPECT_FALSE(record["bodyComplete"].asBool());
    EXPECT_TRUE(record["answer"]["dropped"].asBool());
    EXPECT_FALSE(record["parts"][1]["complete"].asBool());
}

TEST(FaultScriptTest, DelayHoldsTheAnswerBack)
{
    StandinProcess standin{{"--token", "T1"}};
    standin.Script(ParseJson(R"({"path": "/v2.12/me", "delayMs": 700})"));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(standin.Client("graph")->Get("/v2.12/me?access_token=T1")->status, 200);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(700));
}

TEST(FaultScriptTest, AnswersCanBeWithheldCutOrReplacedByRawBytes)
{
    StandinProcess standin;
    auto media = standin.Client("gif-media");
    standin.Script(ParseJson(R"({"path": "/media/*", "dropBeforeAnswer": true, "times": 1})"));
    EXPECT_FALSE(media->Get("/media/a/giphy.gif"));
    EXPECT_TRUE(standin.Received("gif_media")[0]["answer"]["dropped"].asBool());

    // A reset is not a close: the client's read fails instead of ending.
    standin.Script(ParseJson(R"({"path": "/media/*", "dropBeforeAnswer": true, "times": 1})"));
    EXPECT_EQ(EndOfConnection(standin.Port("gif-media"), "/media/a/giphy.gif"), 0);
    standin.Script(ParseJson(R"({"path": "/media/*", "resetBeforeAnswer": true, "times": 1})"));
    EXPECT_EQ(EndOfConnection(standin.Port("gif-media"), "/media/a/giphy.gif"), ECONNRESET);

    standin.Script(ParseJson(R"({"path": "/media/*", "status": 200, "body": "0123456789", "dropAnswerAfterBytes": 4,
                                 "times": 1})"));
    EXPECT_FALSE(media->Get("/media/a/giphy.gif"));

    standin.Script(
        ParseJson(R"({"path": "/media/*", "rawAnswer": "HTTP/1.1 299 Odd One\r\nContent-Length: 0\r\n\r\n"})"));
    EXPECT_EQ(StatusLine(standin.Port("gif-media"), "/media/a/giphy.gif"), "HTTP/1.1 299 Odd One\r\n");
}

TEST(FaultScriptTest, StalledBodyHoldsTheUploadBackAndThenIsAnswered)
{
    StandinProcess standin;
    standin.Script(ParseJson(R"({"path": "/v1/gifs", "stallAfterBodyBytes": 100, "stallMs": 600})"));
    const auto started = std::chrono::steady_clock::now();
    const auto answer =
        standin.Client("gif-upload")
            ->Post("/v1/gifs", httplib::MultipartFormDataItems{{"api_key", "Qv7mRtX2pLw9K", "", ""},
                                                               {"file", std::string(5000, 'g'), "a.gif", "image/gif"}});
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(600));
    EXPECT_TRUE(standin.Received("gif_upload")[0]["bodyComplete"].asBool());
}

TEST(FaultScriptTest, EndlessBodyKeepsComingUntilTheClientStops)
{
    StandinProcess standin{{"--token", "T1"}};
    standin.Script(ParseJson(R"({"path": "/v2.12/me", "endlessBody": true})"));
    std::size_t received = 0;
    standin.Client("graph")->Get("/v2.12/me?access_token=T1", [&](const char*, std::size_t size) {
        received += size;
        return received < (8u << 20);
    });
    EXPECT_GE(received, 8u << 20);
}

TEST(FaultScriptTest, DiscardModeCountsUploadsWithoutParsingAndStillAnswersAnId)
{
    StandinProcess standin{{"--discard-uploads"}};
    const auto answer = standin.Client("video")->Post(
        "/v2.12/me/videos",
        httplib::MultipartFormDataItems{{"source", std::string(2 << 20, 'v'), "v.mp4", "video/mp4"}});
    ASSERT_EQ(answer->status, 200);
    EXPECT_FALSE(ParseJson(answer->body)["id"].asString().empty());
    const Json::Value record = standin.Received("video")[0];
    EXPECT_TRUE(record["details"]["discarded"].asBool());
    EXPECT_FALSE(record.isMember("parts"));
    EXPECT_EQ(record["bodyBytes"].asUInt64(), record["contentLength"].asUInt64());
}

TEST(FaultScriptTest, BadRulesAreRefusedAndResetClearsEverything)
{
    StandinProcess standin{{"--token", "T1"}};
    const auto refused = standin.Client("admin")->Post("/_admin/script", R"({"stauts": 500})", "application/json");
    EXPECT_EQ(refused->status, 400);

    standin.Script(ParseJson(R"({"path": "/v2.12/me", "status": 500})"));
    standin.AdminPost("/_admin/albums", ParseJson(R"({"name": "Gone"})"));
    standin.Configure(ParseJson(R"({"userName": "Bob"})"));
    standin.Client("graph")->Get("/v2.12/me?access_token=T1");
    standin.AdminPost("/_admin/reset", Json::Value(Json::objectValue));

    EXPECT_EQ(standin.Received("me").size(), 0u);
    EXPECT_EQ(standin.AdminGet("/_admin/albums")["albums"].size(), 3u);
    const auto me = standin.Client("graph")->Get("/v2.12/me?access_token=T1");
    EXPECT_EQ(me->status, 200);
    EXPECT_EQ(ParseJson(me->body)["name"].asString(), "Ann Example");
}

}  // namespace
}  // namespace standintest
