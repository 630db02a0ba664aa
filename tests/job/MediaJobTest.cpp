// Videos and GIFs: the video with the user id on the video host; the GIF stored at the
// GIF service and its address posted to the timeline with the comment.

#include "tests/job/JobFixture.h"

#include <gmock/gmock.h>
#include <httplib.h>

using ::testing::ElementsAre;

namespace jobtest {
namespace {

const std::vector<std::string> kClosingLines{"Logging out of Facebook...", "Successfully logged out of Facebook",
                                             "Please press the 'Close' button to exit"};

std::vector<std::string> Concatenated(std::vector<std::string> lines, const std::vector<std::string>& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

class MediaJob : public JobTest {
protected:
    static std::string ServiceCaFile()
    {
        constexpr std::string_view kName = "ZENDRIK_CA_FILE=";
        for (const std::string& entry : Service().Environment()) {
            if (entry.starts_with(kName))
                return entry.substr(kName.size());
        }
        return {};
    }
};

TEST_F(MediaJob, VideoGoesToTheUsersVideosWithItsDescription)
{
    const std::string clip = home.Write("media/First Dance.MOV", MediaBytes(std::string("\0\0\0\x14"
                                                                                        "ftypqt  ",
                                                                                        12),
                                                                            300000));
    const JobResult result = RunJob({"-aParty", "-bFirst dance", "-f" + clip});

    const Json::Value upload = OnlyRecord("video");
    EXPECT_EQ(result.PlainLines(),
              Concatenated({"Logged in to Facebook", "User name: " + kUserName, "", "user_id=" + kUserId,
                            "Upload video: " + clip, "Server returned: OK",
                            "Video upload successful, video id: " + upload["details"]["videoId"].asString()},
                           kClosingLines));
    EXPECT_THAT(result.PlainTitles(), ElementsAre(Title("(logging in)"), Title("(logged in)"), Title("(upload video)"),
                                                  Title("(upload ok)")));
    ExpectProgressToTheEnd(result, "(upload video) (");
    EXPECT_EQ(result.exitStatus, 0);

    EXPECT_EQ(upload["host"], "video");
    EXPECT_EQ(upload["path"], "/v2.12/" + kUserId + "/videos");
    EXPECT_EQ(upload["details"]["description"], "First dance");
    EXPECT_EQ(upload["details"]["fileField"], "source");
    EXPECT_EQ(FileBytes(upload["details"]["file"].asString()), FileBytes(clip));
    const Json::Value identity = Service().Received("me");
    ASSERT_EQ(identity.size(), 2u);
    EXPECT_EQ(identity[0]["details"]["fields"], "name");
    EXPECT_EQ(identity[1]["details"]["fields"], "id");
    EXPECT_TRUE(Service().Received("albums_list,photo").empty());
}

TEST_F(MediaJob, GifIsStoredAndItsAddressPostedWithTheComment)
{
    const std::string gif = home.Write("media/loop.Gif", MediaBytes("GIF89a", 20000));
    const JobResult result = RunJob({"-bLook at us", "-f" + gif});

    const Json::Value stored = OnlyRecord("gif_upload");
    const Json::Value post = OnlyRecord("post");
    const std::string media = RunnerHostPort("gif-media");
    const std::string gifPath = "/media/" + stored["details"]["gifId"].asString() + "/giphy.gif";
    const std::string gifUrl = "https://" + media + gifPath;
    EXPECT_EQ(result.PlainLines(),
              Concatenated({"Logged in to Facebook", "User name: " + kUserName, "", "Upload GIF: " + gif,
                            "Server returned: OK", "GIF URL: " + gifUrl, "Posting URL...", "Posting URL and comment...",
                            "Timeline post OK, id=" + post["details"]["postId"].asString()},
                           kClosingLines));
    EXPECT_THAT(result.PlainTitles(), ElementsAre(Title("(logging in)"), Title("(logged in)"), Title("(upload video)"),
                                                  Title("(upload ok)"), Title("(upload photo)"), Title("(upload ok)")));
    ExpectProgressToTheEnd(result, "(upload video) (");
    EXPECT_EQ(result.exitStatus, 0);

    EXPECT_EQ(stored["details"]["apiKey"], "Qv7mRtX2pLw9K");
    EXPECT_EQ(stored["details"]["size"], 20000);
    EXPECT_EQ(post["details"]["link"], gifUrl);
    EXPECT_EQ(post["details"]["message"], "Look at us");
    httplib::Client mediaHost("https://" + media);
    mediaHost.set_ca_cert_path(ServiceCaFile().c_str());
    mediaHost.enable_server_certificate_verification(true);
    const auto served = mediaHost.Get(gifPath.c_str());
    ASSERT_TRUE(served);
    EXPECT_EQ(served->status, 200);
    EXPECT_EQ(served->body, FileBytes(gif));
}

TEST_F(MediaJob, GifAnswerWithoutAStringIdPostsNothing)
{
    Service().Script(ParseJson(R"({"host": "gif-upload", "path": "/v1/gifs", "idAsNumber": true})"));
    const std::string gif = home.Write("media/loop.gif", MediaBytes("GIF89a", 3000));
    const JobResult result = RunJob({"-bLook at us", "-f" + gif});

    EXPECT_EQ(result.PlainLines(), Concatenated({"Logged in to Facebook", "User name: " + kUserName, "",
                                                 "Upload GIF: " + gif, "Server returned: OK"},
                                                kClosingLines));
    EXPECT_EQ(result.PlainTitles().back(), Title("(error: Server returned:OK)"));
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(Service().Received("gif_upload").size(), 1u);
    EXPECT_TRUE(Service().Received("post").empty());
}

}  // namespace
}  // namespace jobtest
