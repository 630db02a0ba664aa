// The GIF service: upload with its key, the media address that serves what was stored.

#include "tests/support/StandinProcess.h"

#include <gtest/gtest.h>

namespace standintest {

using testsupport::ParseJson;
using testsupport::StandinProcess;

namespace {

const std::string kGif = std::string("GIF89a") + std::string(2000, '\x01') + ";";

TEST(GifTest, UploadAnswersAStringIdAndTheMediaHostServesTheSameBytes)
{
    StandinProcess standin;
    const auto answer =
        standin.Client("gif-upload")
            ->Post("/v1/gifs", httplib::MultipartFormDataItems{{"api_key", "Qv7mRtX2pLw9K", "", ""},
                                                               {"file", kGif, "/tmp/shot.gif", "image/gif"}});
    ASSERT_EQ(answer->status, 200) << answer->body;
    const Json::Value id = ParseJson(answer->body)["data"]["id"];
    ASSERT_TRUE(id.isString());

    const auto media = standin.Client("gif-media")->Get(("/media/" + id.asString() + "/giphy.gif").c_str());
    ASSERT_EQ(media->status, 200);
    EXPECT_EQ(media->body, kGif);
    EXPECT_EQ(media->get_header_value("Content-Type"), "image/gif");
    EXPECT_EQ(standin.Client("gif-media")->Get("/media/unknown/giphy.gif")->status, 404);

    const Json::Value details = standin.Received("gif_upload")[0]["details"];
    EXPECT_EQ(details["apiKey"].asString(), "Qv7mRtX2pLw9K");
    EXPECT_EQ(details["size"].asUInt64(), kGif.size());
}

TEST(GifTest, MissingOrWrongKeyOrFileIsRefused)
{
    StandinProcess standin;
    auto upload = standin.Client("gif-upload");
    const httplib::MultipartFormDataItems::value_type file{"file", kGif, "a.gif", "image/gif"};
    EXPECT_EQ(upload->Post("/v1/gifs", httplib::MultipartFormDataItems{file})->status, 401);
    EXPECT_EQ(upload->Post("/v1/gifs", httplib::MultipartFormDataItems{{"api_key", "wrong", "", ""}, file})->status,
              403);
    EXPECT_EQ(upload->Post("/v1/gifs", httplib::MultipartFormDataItems{{"api_key", "Qv7mRtX2pLw9K", "", ""}})->status,
              400);
}

}  // namespace
}  // namespace standintest
