// A web address posted to the timeline, with the comment as its message when there is one.

#include "tests/job/JobFixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace jobtest {
namespace {

using LinkJob = JobTest;

std::vector<std::string> FormNames(const Json::Value& record)
{
    std::vector<std::string> names;
    for (const Json::Value& pair : record["form"])
        names.push_back(pair[0].asString());
    return names;
}

TEST_F(LinkJob, LinkWithMessageIsPostedAndTheFileIgnored)
{
    const std::string photo = home.Write("media/booth.jpg", MediaBytes("\xFF\xD8\xFF", 2000));
    const JobResult result =
        RunJob({"-Uhttps://example.org/booth?day=1&x=%20", "-bSee you soon", "-f" + photo, "-aParty"});

    EXPECT_THAT(result.lines,
                ElementsAre("Logged in to Facebook", "User name: " + kUserName, "", "Posting URL...",
                            "Posting URL and comment...", "Logging out of Facebook...",
                            "Successfully logged out of Facebook", "Please press the 'Close' button to exit"));
    EXPECT_THAT(result.titles, ElementsAre(Title("(logging in)"), Title("(logged in)"), Title("(upload photo)"),
                                           Title("(upload ok)")));
    EXPECT_EQ(result.exitStatus, 0);

    const Json::Value post = OnlyRecord("post");
    EXPECT_EQ(post["path"], "/v2.12/me/feed");
    EXPECT_THAT(FormNames(post), ElementsAre("access_token", "link", "message"));
    EXPECT_EQ(post["details"]["link"], "https://example.org/booth?day=1&x=%20");
    EXPECT_EQ(post["details"]["message"], "See you soon");
    EXPECT_TRUE(Service().Received("albums_list,photo").empty());
}

TEST_F(LinkJob, LinkWithoutMessageSaysPostingTwiceAndSendsNoMessage)
{
    const JobResult result = RunJob({"-Uhttps://example.org/"});

    EXPECT_THAT(result.lines,
                ElementsAre("Logged in to Facebook", "User name: " + kUserName, "", "Posting URL...", "Posting URL...",
                            "Logging out of Facebook...", "Successfully logged out of Facebook",
                            "Please press the 'Close' button to exit"));
    EXPECT_EQ(result.exitStatus, 0);
    const Json::Value post = OnlyRecord("post");
    EXPECT_THAT(FormNames(post), ElementsAre("access_token", "link"));
    EXPECT_EQ(post["details"]["link"], "https://example.org/");
}

}  // namespace
}  // namespace jobtest
