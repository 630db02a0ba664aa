// A link on the user's timeline, with and without a message.

#include "social/TimelinePost.h"
#include "SocialTestSupport.h"
#include "httpclient/HttpClientException.h"

#include <gmock/gmock.h>

using namespace socialtest;
using ::testing::ElementsAre;

namespace {

class TimelinePost : public ServiceHostsTest {
protected:
    std::u16string Post(const std::u16string& message)
    {
        return social::PostLinkToTimeline(job, u"http://example.test/a?b=1&c", message);
    }
};

}  // namespace

TEST_F(TimelinePost, WithoutMessage)
{
    Reply(graph, "/v2.12/me/feed", 200, "OK", R"({"id":"1_2"})");
    EXPECT_EQ(Post(u""), u"1_2");
    const auto request = OnlyRequest(graph);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/v2.12/me/feed");
    EXPECT_EQ(request.Header("Content-Type").value_or(""), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.body, "access%5Ftoken=TOKEN%2D1&link=http%3A%2F%2Fexample%2Etest%2Fa%3Fb%3D1%26c");
    EXPECT_THAT(job.lines, ElementsAre("Posting URL...", "Posting URL..."));
    EXPECT_THAT(job.tags, ElementsAre("(upload photo)", "(upload ok)"));
}

TEST_F(TimelinePost, WithMessage)
{
    Reply(graph, "/v2.12/me/feed", 200, "OK", R"({"id":"1_3"})");
    EXPECT_EQ(Post(u"Hi \u00E9"), u"1_3");
    EXPECT_EQ(OnlyRequest(graph).body,
              "access%5Ftoken=TOKEN%2D1&link=http%3A%2F%2Fexample%2Etest%2Fa%3Fb%3D1%26c&message=Hi+%C3%A9");
    EXPECT_THAT(job.lines, ElementsAre("Posting URL...", "Posting URL and comment..."));
}

TEST_F(TimelinePost, RejectedPost)
{
    Reply(graph, "/v2.12/me/feed", 403, "Forbidden", R"({"error":{"message":"Not allowed"}})");
    EXPECT_EQ(Post(u""), u"");
    Reply(graph, "/v2.12/me/feed", 200, "OK", R"({"error":{"code":1}})");
    EXPECT_EQ(Post(u""), u"");
    Reply(graph, "/v2.12/me/feed", 200, "OK", "nope");
    EXPECT_EQ(Post(u""), u"");
    const std::string posting = "Posting URL...";
    EXPECT_THAT(job.lines, ElementsAre(posting, posting, "Server returned: Forbidden", "ERROR: Not allowed",  //
                                       posting, posting, "Unknown error posting URL to timeline",             //
                                       posting, posting));
    const std::string failed = "(error: Error uploading photo)";
    EXPECT_THAT(job.tags, ElementsAre("(upload photo)", "(error: Server returned:Forbidden)", failed,  //
                                      "(upload photo)", failed, "(upload photo)", failed));
}

TEST_F(TimelinePost, ExceptionsGoOnToTheJob)
{
    Reply(graph, "/v2.12/me/feed", 200, "OK", R"("just a string")");
    EXPECT_THROW(Post(u""), int);
    EXPECT_EQ(job.lines.back(), "Unexpected exception posting URL to timeline");

    job.lines.clear();
    RefuseGraphHost();
    EXPECT_THROW(Post(u""), Tavik::httpclientexceptionW);
    EXPECT_THAT(job.lines, ElementsAre("Posting URL...", "Posting URL..."));
}
