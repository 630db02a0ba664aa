// A response body is read only up to a bound far above any real answer; more is a
// failed request, never a growing buffer.

#include "SocialTestSupport.h"
#include "httpclient/HttpClientException.h"
#include "social/PhotoUpload.h"
#include "social/ResponseReading.h"
#include "social/UserIdentity.h"

#include <gmock/gmock.h>

using namespace socialtest;
using ::testing::ElementsAre;

namespace {

// {"name":"Ann","pad":"xxx..."} of exactly `size` bytes.
std::string AnswerOfSize(std::size_t size)
{
    const std::string head = R"({"name":"Ann","id":"9","pad":")";
    const std::string tail = R"("})";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

class ResponseBound : public ServiceHostsTest {};

}  // namespace

TEST_F(ResponseBound, AnswerUpToTheBoundIsRead)
{
    Reply(graph, "/v2.12/me", 200, "OK", AnswerOfSize(social::MaxResponseBodyBytes));
    EXPECT_EQ(social::GetGuestName(job), u"Ann");
}

TEST_F(ResponseBound, LongerAnswerIsAFailedRead)
{
    Reply(graph, "/v2.12/me", 200, "OK", AnswerOfSize(social::MaxResponseBodyBytes + 1));
    try {
        social::GetGuestName(job);
        FAIL() << "no exception";
    } catch (const Tavik::httpclientexceptionW& error) {
        EXPECT_EQ(error.ErrorCode(), 401u);
        EXPECT_EQ(error.Win32Error(), 122u);
    }
}

TEST_F(ResponseBound, UploadReportsTheFailedRead)
{
    TempDir dir;
    const std::string photo = dir.Write("p.jpg", JpegBytes(100));
    Reply(graph, "/v2.12/me/photos", 200, "OK", AnswerOfSize(social::MaxResponseBodyBytes + 1));
    EXPECT_EQ(social::UploadPhoto(job, W(photo), u"me", u""), u"");
    EXPECT_THAT(job.PlainLines(),
                ElementsAre("Upload photo: " + photo, "Server returned: OK", "Exception, error code=122"));
    EXPECT_EQ(job.tags.back(), "(error: Exception, error code=122)");
}
