// The user's name and id: the query on the wire, the answers and their lines.

#include "social/UserIdentity.h"
#include "SocialTestSupport.h"

#include <gmock/gmock.h>

using namespace socialtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class UserIdentity : public ServiceHostsTest {};

}  // namespace

TEST_F(UserIdentity, QueriesMeWithTokenAndFieldInMapOrder)
{
    Reply(graph, "/v2.12/me", 200, "OK", R"({"name":"Ann","id":"10"})");
    EXPECT_EQ(social::GetGuestName(job), u"Ann");
    const auto name = OnlyRequest(graph);
    EXPECT_EQ(name.method, "GET");
    EXPECT_EQ(name.target, "/v2.12/me?access%5Ftoken=TOKEN%2D1&fields=name");
    EXPECT_EQ(name.Header("User-Agent").value_or(""), "Orvane Systems User Agent v1.0");
    EXPECT_THAT(job.lines, IsEmpty());
    EXPECT_THAT(job.tags, IsEmpty());

    graph.ClearRequests();
    EXPECT_EQ(social::GetUserId(job), u"10");
    EXPECT_EQ(OnlyRequest(graph).target, "/v2.12/me?access%5Ftoken=TOKEN%2D1&fields=id");
    EXPECT_THAT(job.lines, IsEmpty());
}

TEST_F(UserIdentity, PresentButEmptyValues)
{
    Reply(graph, "/v2.12/me", 200, "OK", R"({"name":""})");
    EXPECT_EQ(social::GetGuestName(job), u"");
    Reply(graph, "/v2.12/me", 200, "OK", R"({"id":12345})");
    EXPECT_EQ(social::GetUserId(job), u"");
    EXPECT_THAT(job.lines, ElementsAre("ERROR: Empty user name returned", "ERROR: Null user id returned"));
}

TEST_F(UserIdentity, GraphErrorsWithAndWithoutMessage)
{
    Reply(graph, "/v2.12/me", 400, "Bad Request", R"({"error":{"code":190}})");
    EXPECT_EQ(social::GetGuestName(job), u"");
    EXPECT_EQ(social::GetUserId(job), u"");
    Reply(graph, "/v2.12/me", 400, "Bad Request", R"({"error":{"message":"X","code":190}})");
    EXPECT_EQ(social::GetGuestName(job), u"");
    // A message that is a number is not empty, but converts to nothing.
    Reply(graph, "/v2.12/me", 400, "Bad Request", R"({"error":{"message":7}})");
    EXPECT_EQ(social::GetUserId(job), u"");
    EXPECT_THAT(job.lines,
                ElementsAre("Server returned: Bad Request", "Unknown error getting user name",
                            "Server returned: Bad Request", "Unknown error getting user id",
                            "Server returned: Bad Request", "ERROR: X", "Server returned: Bad Request", "ERROR: "));
}

TEST_F(UserIdentity, EmptyErrorObjectAndUnreadableBodiesLogNothingButTheStatus)
{
    Reply(graph, "/v2.12/me", 200, "OK", R"({"error":{}})");
    EXPECT_EQ(social::GetGuestName(job), u"");
    Reply(graph, "/v2.12/me", 200, "OK", "<html>not json</html>");
    EXPECT_EQ(social::GetGuestName(job), u"");
    Reply(graph, "/v2.12/me", 200, "OK", DeeplyNestedJson());
    EXPECT_EQ(social::GetGuestName(job), u"");
    EXPECT_THAT(job.lines, IsEmpty());
    Reply(graph, "/v2.12/me", 500, "Internal Server Error", "<html>not json</html>");
    EXPECT_EQ(social::GetUserId(job), u"");
    EXPECT_THAT(job.lines, ElementsAre("Server returned: Internal Server Error"));
}

TEST_F(UserIdentity, StatusDoesNotDecide)
{
    // A usable name after a failing status still counts.
    Reply(graph, "/v2.12/me", 403, "Forbidden", R"({"name":"Ann","error":{"message":"ignored"}})");
    EXPECT_EQ(social::GetGuestName(job), u"Ann");
    EXPECT_THAT(job.lines, ElementsAre("Server returned: Forbidden"));
}

TEST_F(UserIdentity, BodyOfTheWrongShapeAbortsTheJob)
{
    Reply(graph, "/v2.12/me", 200, "OK", R"(["name","Ann"])");
    EXPECT_THROW(social::GetGuestName(job), int);
    try {
        social::GetUserId(job);
        FAIL() << "no exception";
    } catch (int signal) {
        EXPECT_EQ(signal, social::CancelSignal);
    }
    EXPECT_THAT(job.lines,
                ElementsAre("Unexpected exception getting user name", "Unexpected exception getting user id"));
}
