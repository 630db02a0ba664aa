// The Graph API as the uploader uses it: "me", album listing and creation, photo, video
// and feed, checked on the answers and on the service's record of what arrived.

#include "tests/support/StandinProcess.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace standintest {

using testsupport::ParseJson;
using testsupport::StandinProcess;

namespace {

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class GraphTest : public ::testing::Test {
protected:
    Json::Value GetJson(const std::string& target, int expectedStatus = 200)
    {
        const auto result = graph->Get(target.c_str());
        EXPECT_TRUE(result);
        EXPECT_EQ(result->status, expectedStatus) << result->body;
        return ParseJson(result->body);
    }

    StandinProcess standin{{"--token", "T1"}};
    std::unique_ptr<httplib::Client> graph = standin.Client("graph");
};

TEST_F(GraphTest, MeAnswersTheAskedFieldsAndAlwaysTheId)
{
    const Json::Value name = GetJson("/v2.12/me?access_token=T1&fields=name");
    EXPECT_EQ(name["name"].asString(), "Ann Example");
    EXPECT_EQ(name["id"].asString(), "100004242424242");
    const Json::Value id = GetJson("/v2.12/me?access_token=T1&fields=id");
    EXPECT_EQ(id.getMemberNames(), std::vector<std::string>{"id"});
    EXPECT_EQ(standin.Received("me")[1]["details"]["fields"].asString(), "id");
}

TEST_F(GraphTest, ErrorsHaveTheGraphShapeStatusAndReasonPhrase)
{
    const auto bad = graph->Get("/v2.12/me?access_token=nope&fields=name");
    EXPECT_EQ(bad->status, 400);
    EXPECT_EQ(bad->reason, "Bad Request");
    const Json::Value error = ParseJson(bad->body)["error"];
    EXPECT_EQ(error["message"].asString(), "Invalid OAuth access token.");
    EXPECT_EQ(error["type"].asString(), "OAuthException");
    EXPECT_EQ(error["code"].asInt(), 190);
    EXPECT_TRUE(error["fbtrace_id"].isString());

    EXPECT_EQ(GetJson("/v2.12/me?fields=name", 400)["error"]["code"].asInt(), 2500);
    EXPECT_EQ(GetJson("/v2.12/me/nothing?access_token=T1", 400)["error"]["message"].asString(),
              "Unknown path components: /nothing");
    EXPECT_EQ(GetJson("/v2.12/me?access_token=T1&fields=shoe_size", 400)["error"]["code"].asInt(), 100);
}

TEST_F(GraphTest, AlbumsAreListedInOrderWithUploadPermissionAndCanBeCreated)
{
    standin.AdminPost("/_admin/albums", ParseJson(R"({"replace": true, "albums": [
        {"name": "Party", "id": "11"}, {"name": "party", "id": "12", "can_upload": false}]})"));
    Json::Value data = GetJson("/v2.12/me/albums?access_token=T1")["data"];
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0]["id"].asString(), "11");
    EXPECT_TRUE(data[0]["can_upload"].asBool());
    EXPECT_EQ(data[1]["name"].asString(), "party");
    EXPECT_FALSE(data[1]["can_upload"].asBool());

    const auto created = graph->Post("/v2.12/me/albums", "access_token=T1&message=Our+night&name=Booth+Jos%C3%A9",
                                     "application/x-www-form-urlencoded");
    const std::string id = ParseJson(created->body)["id"].asString();
    EXPECT_FALSE(id.empty());
    data = GetJson("/v2.12/me/albums?access_token=T1")["data"];
    ASSERT_EQ(data.size(), 3u);
    EXPECT_EQ(data[2]["id"].asString(), id);
    EXPECT_EQ(data[2]["name"].asString(), "Booth Jos\xc3\xa9");

    const Json::Value record = standin.Received("album_create")[0];
    EXPECT_EQ(record["form"][0][0].asString(), "access_token");
    EXPECT_EQ(record["form"][1][0].asString(), "message");
    EXPECT_EQ(record["details"]["message"].asString(), "Our night");
}

TEST_F(GraphTest, ListingIsPagedAndOnlyTheFirstPageComesWithoutCursor)
{
    standin.Configure(ParseJson(R"({"albumPageSize": 2})"));
    Json::Value first = GetJson("/v2.12/me/albums?access_token=T1");
    ASSERT_EQ(first["data"].size(), 2u);
    const std::string next = first["paging"]["next"].asString();
    ASSERT_FALSE(next.empty());
    const Json::Value second = GetJson(next.substr(next.find("/v2.12/")));
    ASSERT_EQ(second["data"].size(), 1u);
    EXPECT_EQ(second["data"][0]["name"].asString(), "Timeline Photos");
    EXPECT_FALSE(second["paging"].isMember("next"));
}

TEST_F(GraphTest, PhotoUploadIsStoredAndRecordedWithCaptionSizeAndPartOrder)
{
    const Json::Value album = standin.AdminPost("/_admin/albums", ParseJson(R"({"name": "Booth"})"))["albums"][0];
    std::string content(3000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    const httplib::MultipartFormDataItems parts = {{"access_token", "T1", "", ""},
                                                   {"caption", "Hi \xc3\xa9", "", ""},
                                                   {"ufile01", content, "C:\\shots\\a \"b\".jpg", "image/jpeg"}};
    const auto answer = graph->Post(("/v2.12/" + album["id"].asString() + "/photos").c_str(), parts);
    ASSERT_EQ(answer->status, 200) << answer->body;
    const Json::Value body = ParseJson(answer->body);
    EXPECT_FALSE(body["id"].asString().empty());
    EXPECT_EQ(body["post_id"].asString(), "100004242424242_" + body["id"].asString());

    const Json::Value record = standin.Received("photo")[0];
    EXPECT_EQ(record["parts"].size(), 3u);
    EXPECT_EQ(record["parts"][0]["name"].asString(), "access_token");
    EXPECT_EQ(record["parts"][2]["headers"][0].asString(),
              "Content-Disposition: form-data; name=\"ufile01\"; filename=\"C:\\shots\\a \"b\".jpg\"");
    EXPECT_EQ(record["details"]["caption"].asString(), "Hi \xc3\xa9");
    EXPECT_EQ(record["details"]["size"].asUInt64(), 3000u);
    EXPECT_EQ(record["details"]["filename"].asString(), "C:\\shots\\a \"b\".jpg");
    EXPECT_EQ(record["details"]["contentType"].asString(), "image/jpeg");
    EXPECT_EQ(record["contentLength"].asUInt64(), record["bodyBytes"].asUInt64());
    EXPECT_EQ(FileText(record["details"]["file"].asString()), content);
    EXPECT_EQ(standin.AdminGet("/_admin/albums")["albums"][3]["count"].asInt(), 1);
}

TEST_F(GraphTest, PhotoIntoAReadOnlyOrUnknownAlbumOrWithoutFileFails)
{
    const httplib::MultipartFormDataItems photo = {{"access_token", "T1", "", ""},
                                                   {"ufile01", "x", "p.jpg", "image/jpeg"}};
    const std::string readOnly = standin.AdminGet("/_admin/albums")["albums"][0]["id"].asString();
    EXPECT_EQ(ParseJson(graph->Post(("/v2.12/" + readOnly + "/photos").c_str(), photo)->body)["error"]["code"].asInt(),
              120);
    const Json::Value unknown = ParseJson(graph->Post("/v2.12/999/photos", photo)->body)["error"];
    EXPECT_EQ(unknown["type"].asString(), "GraphMethodException");
    const auto noFile =
        graph->Post("/v2.12/me/photos", httplib::MultipartFormDataItems{{"access_token", "T1", "", ""}});
    EXPECT_EQ(ParseJson(noFile->body)["error"]["code"].asInt(), 324);
}

TEST_F(GraphTest, VideosAreTakenOnTheVideoHostOnly)
{
    const httplib::MultipartFormDataItems video = {{"access_token", "T1", "", ""},
                                                   {"description", "Clip", "", ""},
                                                   {"source", std::string(5000, 'v'), "/tmp/v.mp4", "video/mp4"}};
    const auto taken = standin.Client("video")->Post("/v2.12/100004242424242/videos", video);
    ASSERT_EQ(taken->status, 200);
    EXPECT_FALSE(ParseJson(taken->body)["id"].asString().empty());
    EXPECT_EQ(graph->Post("/v2.12/me/videos", video)->status, 400);

    const Json::Value record = standin.Received("video")[0];
    EXPECT_EQ(record["host"].asString(), "video");
    EXPECT_EQ(record["details"]["description"].asString(), "Clip");
    EXPECT_EQ(record["details"]["size"].asUInt64(), 5000u);
}

TEST_F(GraphTest, FeedPostRecordsLinkAndMessage)
{
    const auto posted = graph->Post("/v2.12/me/feed", "access_token=T1&link=http%3A%2F%2Fx.test%2Fa.gif&message=Hi",
                                    "application/x-www-form-urlencoded");
    EXPECT_TRUE(ParseJson(posted->body)["id"].asString().starts_with("100004242424242_"));
    const Json::Value details = standin.Received("post")[0]["details"];
    EXPECT_EQ(details["link"].asString(), "http://x.test/a.gif");
    EXPECT_EQ(details["message"].asString(), "Hi");
    EXPECT_EQ(graph->Post("/v2.12/me/feed", "access_token=T1", "application/x-www-form-urlencoded")->status, 400);
}

}  // namespace
}  // namespace standintest
