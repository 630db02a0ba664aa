// The photo upload: its multipart request on the wire, the answers, progress with
// cancel, and the failures it recovers from.

#include "social/PhotoUpload.h"
#include "SocialTestSupport.h"
#include "tests/support/Backend.h"

#include <gmock/gmock.h>

using namespace socialtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class PhotoUpload : public ServiceHostsTest {
protected:
    std::u16string Upload(const std::u16string& albumId, const std::u16string& caption)
    {
        return social::UploadPhoto(job, W(photo), albumId, caption);
    }

    TempDir dir;
    std::string photo = dir.Write("shot 1.jpg", JpegBytes(5000));
};

}  // namespace

TEST_F(PhotoUpload, PartsOnTheWireInNameOrder)
{
    Reply(graph, "/v2.12/123/photos", 200, "OK", R"({"id":"555","post_id":"1_555"})");
    EXPECT_EQ(Upload(u"123", u"Caf\u00E9 \u2615 night"), u"555");

    const auto request = OnlyRequest(graph);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/v2.12/123/photos");
    EXPECT_EQ(request.Header("User-Agent").value_or(""), "Orvane Systems User Agent v1.0");
    const auto parts = MultipartParts(request);
    ASSERT_THAT(PartNames(parts), ElementsAre("access_token", "caption", "ufile01"));
    EXPECT_EQ(parts[0].content, "TOKEN-1");
    EXPECT_EQ(parts[1].content, "Caf\xC3\xA9 \xE2\x98\x95 night");
    EXPECT_EQ(parts[2].filename, photo);
    EXPECT_EQ(parts[2].contentType, testsupport::kSniffedJpeg);
    EXPECT_EQ(parts[2].content, JpegBytes(5000));

    EXPECT_THAT(job.PlainLines(), ElementsAre("Upload photo: " + photo, "Server returned: OK"));
    EXPECT_THAT(job.PlainTags(), ElementsAre("(upload photo)", "(upload ok)"));
}

TEST_F(PhotoUpload, EmptyCaptionIsNotSentAndMeIsTheDefaultAlbum)
{
    Reply(graph, "/v2.12/me/photos", 200, "OK", R"({"id":"7"})");
    EXPECT_EQ(Upload(u"me", u""), u"7");
    const auto request = OnlyRequest(graph);
    EXPECT_EQ(request.target, "/v2.12/me/photos");
    EXPECT_THAT(PartNames(MultipartParts(request)), ElementsAre("access_token", "ufile01"));
}

TEST_F(PhotoUpload, ProgressClimbsFromZeroToHundredWithATagPerLine)
{
    Reply(graph, "/v2.12/me/photos", 200, "OK", R"({"id":"7"})");
    ASSERT_EQ(Upload(u"me", u"c"), u"7");
    const auto progress = job.ProgressLines();
    // Per part a start and its content steps (one each for token and caption, five for
    // the file), then the closing delimiter and the step that ends the request.
    ASSERT_EQ(progress.size(), 12u);
    EXPECT_EQ(progress.front(), "Progress: 0%");
    EXPECT_EQ(progress.back(), "Progress: 100%");
    int previous = -1;
    for (const std::string& line : progress) {
        const int percent = std::stoi(line.substr(10));
        EXPECT_GE(percent, previous) << line;
        previous = percent;
    }
    // Every progress line has its tag, in the same order, between the opening and the final tag.
    std::vector<std::string> expectedTags{"(upload photo)"};
    for (const std::string& line : progress)
        expectedTags.push_back("(upload photo) (" + line + ")");
    expectedTags.push_back("(upload ok)");
    EXPECT_EQ(job.tags, expectedTags);
    // One check before every step and one after the last.
    EXPECT_EQ(job.cancelChecks, 13);
}

TEST_F(PhotoUpload, CancelDuringTheUploadStopsItAtTheNextStep)
{
    const std::string big = dir.Write("big.jpg", JpegBytes(64 * 1024));
    job.cancelAfterProgressLines = 6;
    EXPECT_EQ(social::UploadPhoto(job, W(big), u"me", u""), u"");
    const auto progress = job.ProgressLines();
    ASSERT_EQ(progress.size(), 6u);
    EXPECT_EQ(progress.front(), "Progress: 0%");
    EXPECT_NE(progress.back(), "Progress: 0%");
    EXPECT_THAT(job.PlainLines(), ElementsAre("Upload photo: " + big, "Unexpected exception"));
    EXPECT_EQ(job.tags.back(), "(error: Error uploading photo)");
    // The request was abandoned part-way.
    ASSERT_TRUE(graph.WaitForRequests(1));
    EXPECT_FALSE(graph.Requests()[0].complete);
    EXPECT_LT(graph.Requests()[0].bodyBytesReceived, 64u * 1024);
}

TEST_F(PhotoUpload, CancelAfterTheLastStepStillFails)
{
    job.cancelAfterProgressLines = 12;
    EXPECT_EQ(Upload(u"me", u"c"), u"");
    EXPECT_EQ(job.ProgressLines().back(), "Progress: 100%");
    EXPECT_EQ(job.lines.back(), "Unexpected exception");
    EXPECT_EQ(job.tags.back(), "(error: Error uploading photo)");
}

TEST_F(PhotoUpload, GraphErrorsAndUnreadableAnswers)
{
    Reply(graph, "/v2.12/me/photos", 400, "Bad Request", R"({"error":{"message":"M"}})");
    EXPECT_EQ(Upload(u"me", u""), u"");
    EXPECT_THAT(job.PlainLines(), ElementsAre("Upload photo: " + photo, "Server returned: Bad Request", "ERROR: M"));
    EXPECT_EQ(job.tags.back(), "(error: Server returned:Bad Request)");

    job.lines.clear();
    Reply(graph, "/v2.12/me/photos", 400, "Bad Request", R"({"error":{"message":{}}})");
    EXPECT_EQ(Upload(u"me", u""), u"");
    EXPECT_THAT(job.PlainLines(),
                ElementsAre("Upload photo: " + photo, "Server returned: Bad Request", "ERROR: Unknown error"));

    job.lines.clear();
    Reply(graph, "/v2.12/me/photos", 200, "OK", "<html>busy</html>");
    EXPECT_EQ(Upload(u"me", u""), u"");
    EXPECT_THAT(job.PlainLines(), ElementsAre("Upload photo: " + photo, "Server returned: OK"));
    EXPECT_EQ(job.tags.back(), "(error: Server returned:OK)");
}

TEST_F(PhotoUpload, AnswerOfTheWrongShapeIsAnUnexpectedException)
{
    Reply(graph, "/v2.12/me/photos", 200, "OK", R"(["id"])");
    EXPECT_EQ(Upload(u"me", u""), u"");
    EXPECT_THAT(job.PlainLines(), ElementsAre("Upload photo: " + photo, "Server returned: OK", "Unexpected exception"));
    EXPECT_EQ(job.tags.back(), "(error: Error uploading photo)");
}

TEST_F(PhotoUpload, MissingOrEmptyFileSendsNothing)
{
    const std::string missing = dir.Path() + "/none.jpg";
    const std::string empty = dir.Write("empty.jpg", "");
    EXPECT_EQ(social::UploadPhoto(job, W(missing), u"me", u""), u"");
    EXPECT_EQ(social::UploadPhoto(job, W(empty), u"me", u""), u"");
    EXPECT_EQ(social::UploadPhoto(job, W(dir.Path()), u"me", u""), u"");
    EXPECT_THAT(job.lines, ElementsAre("Upload photo: " + missing, "Photo not found: " + missing,
                                       "Upload photo: " + empty, "ERROR photo file has 0 length: " + empty,
                                       "Upload photo: " + dir.Path(), "ERROR photo file has 0 length: " + dir.Path()));
    EXPECT_THAT(job.tags, ElementsAre("(upload photo)", "(upload photo)", "(upload photo)"));
    EXPECT_EQ(graph.ConnectionsAccepted(), 0u);
}

TEST_F(PhotoUpload, RefusedConnectionIsReportedWithTheSystemError)
{
    RefuseGraphHost();
    EXPECT_EQ(Upload(u"me", u""), u"");
    EXPECT_THAT(job.lines, ElementsAre("Upload photo: " + photo, "Exception, error code=12029"));
    EXPECT_THAT(job.tags, ElementsAre("(upload photo)", "(error: Exception, error code=12029)"));
}
