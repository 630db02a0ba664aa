// The video upload: the photo upload's steps with the video host, fields and texts.

#include "social/VideoUpload.h"
#include "SocialTestSupport.h"

#include <gmock/gmock.h>

using namespace socialtest;
using ::testing::ElementsAre;

namespace {

class VideoUpload : public ServiceHostsTest {
protected:
    TempDir dir;
    std::string clip = dir.Write("clip.mp4", std::string("\0\0\0\x18"
                                                         "ftypmp42",
                                                         12) +
                                                 std::string(3000, 'v'));
};

}  // namespace

TEST_F(VideoUpload, GoesToTheVideoHostWithDescriptionAndSource)
{
    Reply(video, "/v2.12/10/videos", 200, "OK", R"({"id":"v1"})");
    EXPECT_EQ(social::UploadVideo(job, W(clip), u"10", u"Our party"), u"v1");
    EXPECT_EQ(graph.ConnectionsAccepted(), 0u);
    const auto request = OnlyRequest(video);
    EXPECT_EQ(request.target, "/v2.12/10/videos");
    const auto parts = MultipartParts(request);
    ASSERT_THAT(PartNames(parts), ElementsAre("access_token", "description", "source"));
    EXPECT_EQ(parts[1].content, "Our party");
    EXPECT_EQ(parts[2].filename, clip);
    EXPECT_EQ(parts[2].content.size(), 3012u);
    EXPECT_THAT(job.PlainLines(), ElementsAre("Upload video: " + clip, "Server returned: OK"));
    EXPECT_THAT(job.PlainTags(), ElementsAre("(upload video)", "(upload ok)"));
    EXPECT_EQ(job.tags[1], "(upload video) (Progress: 0%)");
    EXPECT_EQ(job.ProgressLines().back(), "Progress: 100%");
}

TEST_F(VideoUpload, EmptyDescriptionIsNotSent)
{
    Reply(video, "/v2.12/10/videos", 200, "OK", R"({"id":"v1"})");
    EXPECT_EQ(social::UploadVideo(job, W(clip), u"10", u""), u"v1");
    EXPECT_THAT(PartNames(MultipartParts(OnlyRequest(video))), ElementsAre("access_token", "source"));
}

TEST_F(VideoUpload, FailuresUseTheVideoTexts)
{
    const std::string missing = dir.Path() + "/none.mp4";
    const std::string empty = dir.Write("empty.mp4", "");
    EXPECT_EQ(social::UploadVideo(job, W(missing), u"10", u""), u"");
    EXPECT_EQ(social::UploadVideo(job, W(empty), u"10", u""), u"");
    EXPECT_THAT(job.lines, ElementsAre("Upload video: " + missing, "Video not found: " + missing,
                                       "Upload video: " + empty, "ERROR video file has 0 length: " + empty));
    EXPECT_THAT(job.tags, ElementsAre("(upload video)", "(upload video)"));
    EXPECT_EQ(video.ConnectionsAccepted(), 0u);

    job.lines.clear();
    job.cancel = true;
    EXPECT_EQ(social::UploadVideo(job, W(clip), u"10", u""), u"");
    EXPECT_THAT(job.lines, ElementsAre("Upload video: " + clip, "Progress: 0%", "Unexpected exception"));
    EXPECT_EQ(job.tags.back(), "(error: Error uploading video)");

    job.lines.clear();
    job.cancel = false;
    Reply(video, "/v2.12/10/videos", 500, "Internal Server Error", R"({"error":{"message":"Try later"}})");
    EXPECT_EQ(social::UploadVideo(job, W(clip), u"10", u""), u"");
    EXPECT_THAT(job.PlainLines(),
                ElementsAre("Upload video: " + clip, "Server returned: Internal Server Error", "ERROR: Try later"));
    EXPECT_EQ(job.tags.back(), "(error: Server returned:Internal Server Error)");
}
