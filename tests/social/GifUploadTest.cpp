// The GIF upload to the GIF service and the address it gives back.

#include "social/GifUpload.h"
#include "SocialTestSupport.h"

#include <gmock/gmock.h>

using namespace socialtest;
using ::testing::ElementsAre;

namespace {

class GifUpload : public ServiceHostsTest {
protected:
    std::u16string Upload() { return social::UploadGif(job, W(animation)); }

    TempDir dir;
    std::string animation = dir.Write("booth.gif", "GIF89a" + std::string(2000, 'g'));
};

}  // namespace

TEST_F(GifUpload, KeyAndFileOnTheWireNoToken)
{
    Reply(gif, "/v1/gifs", 200, "OK", R"({"data":{"id":"abc"},"meta":{"status":200}})");
    EXPECT_EQ(Upload(), u"https://media.example.test/media/abc/giphy.gif");
    const auto request = OnlyRequest(gif);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/v1/gifs");
    const auto parts = MultipartParts(request);
    ASSERT_THAT(PartNames(parts), ElementsAre("api_key", "file"));
    EXPECT_EQ(parts[0].content, "Qv7mRtX2pLw9K");
    EXPECT_EQ(parts[1].filename, animation);
    EXPECT_EQ(parts[1].contentType, "image/gif");
    EXPECT_EQ(parts[1].content.size(), 2006u);
    EXPECT_EQ(request.raw.find("TOKEN-1"), std::string::npos);
    EXPECT_THAT(job.PlainLines(), ElementsAre("Upload GIF: " + animation, "Server returned: OK"));
    EXPECT_THAT(job.PlainTags(), ElementsAre("(upload video)", "(upload ok)"));
    EXPECT_EQ(job.tags[1], "(upload video) (Progress: 0%)");
}

TEST_F(GifUpload, AnswersWithoutAStringIdGiveNothingAndNoErrorLine)
{
    for (const std::string& body :
         {std::string(R"({"data":[]})"), std::string(R"({"data":{"id":5}})"), std::string(R"({"meta":{"msg":"x"}})"),
          std::string(R"(["data"])"), std::string("not json"), R"({"data":)" + DeeplyNestedJson() + "}"}) {
        job.lines.clear();
        job.tags.clear();
        Reply(gif, "/v1/gifs", 200, "OK", body);
        EXPECT_EQ(Upload(), u"") << body.substr(0, 40);
        EXPECT_THAT(job.PlainLines(), ElementsAre("Upload GIF: " + animation, "Server returned: OK"))
            << body.substr(0, 40);
        EXPECT_EQ(job.tags.back(), "(error: Server returned:OK)") << body.substr(0, 40);
    }
}

TEST_F(GifUpload, RefusalIsNotReadFurther)
{
    // The body would give an address if it were read.
    Reply(gif, "/v1/gifs", 403, "Forbidden", R"({"data":{"id":"abc"}})");
    EXPECT_EQ(Upload(), u"");
    EXPECT_THAT(job.PlainLines(), ElementsAre("Upload GIF: " + animation, "Server returned: Forbidden"));
    EXPECT_EQ(job.tags.back(), "(error: Server returned:Forbidden)");
}

TEST_F(GifUpload, FailuresUseTheGifTexts)
{
    const std::string missing = dir.Path() + "/none.gif";
    const std::string empty = dir.Write("empty.gif", "");
    EXPECT_EQ(social::UploadGif(job, W(missing)), u"");
    EXPECT_EQ(social::UploadGif(job, W(empty)), u"");
    EXPECT_THAT(job.lines, ElementsAre("Upload GIF: " + missing, "GIF not found: " + missing, "Upload GIF: " + empty,
                                       "ERROR GIF file has 0 length: " + empty));
    EXPECT_THAT(job.tags, ElementsAre("(upload video)", "(upload video)"));
    EXPECT_EQ(gif.ConnectionsAccepted(), 0u);

    job.cancelAfterProgressLines = 2;
    EXPECT_EQ(Upload(), u"");
    EXPECT_EQ(job.lines.back(), "Unexpected exception");
    EXPECT_EQ(job.tags.back(), "(error: Error uploading GIF)");
}
