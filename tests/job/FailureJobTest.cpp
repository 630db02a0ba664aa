// Jobs that fail on the way: Graph errors with and without a message, bodies that are
// not JSON, and a cancel in the middle of an upload. The logout and the closing line
// follow every one of them.

#include "tests/job/JobFixture.h"

#include <gmock/gmock.h>

#include <signal.h>

#include <chrono>
#include <thread>

using ::testing::ElementsAre;

namespace jobtest {
namespace {

const std::vector<std::string> kGreeting{"Logged in to Facebook", "User name: " + kUserName, ""};
const std::vector<std::string> kClosingLines{"Logging out of Facebook...", "Successfully logged out of Facebook",
                                             "Please press the 'Close' button to exit"};

std::vector<std::string> Framed(const std::vector<std::string>& middle)
{
    std::vector<std::string> lines(kGreeting);
    lines.insert(lines.end(), middle.begin(), middle.end());
    lines.insert(lines.end(), kClosingLines.begin(), kClosingLines.end());
    return lines;
}

class FailedJob : public JobTest {
protected:
    const std::string photo = home.Write("media/booth.jpg", MediaBytes("\xFF\xD8\xFF\xE0", 4000));

    void AnswerPhotoUpload(int status, const std::string& body) const
    {
        Json::Value rule;
        rule["host"] = "graph";
        rule["path"] = "/v2.12/me/photos";
        rule["status"] = status;
        rule["body"] = body;
        Service().Script(rule);
    }
};

TEST_F(FailedJob, GraphErrorIsLoggedWithItsMessageOrAsUnknown)
{
    AnswerPhotoUpload(400, R"({"error":{"message":"(#200) Permissions error","type":"OAuthException","code":200}})");
    const JobResult withMessage = RunJob({"-ame", "-f" + photo});
    EXPECT_EQ(withMessage.PlainLines(),
              Framed({"Album: Kavlin2 Photos", "", "Upload photo: " + photo, "Server returned: Bad Request",
                      "ERROR: (#200) Permissions error", "ERROR uploading photo"}));
    EXPECT_EQ(withMessage.PlainTitles().back(), Title("(error: Server returned:Bad Request)"));
    EXPECT_EQ(withMessage.exitStatus, 1);

    Service().Reset();
    AnswerPhotoUpload(500, R"({"error":{"type":"OAuthException","code":1}})");
    const JobResult withoutMessage = RunJob({"-ame", "-f" + photo});
    EXPECT_EQ(withoutMessage.PlainLines(),
              Framed({"Album: Kavlin2 Photos", "", "Upload photo: " + photo, "Server returned: Internal Server Error",
                      "ERROR: Unknown error", "ERROR uploading photo"}));
    EXPECT_EQ(withoutMessage.PlainTitles().back(), Title("(error: Server returned:Internal Server Error)"));
    EXPECT_EQ(withoutMessage.exitStatus, 1);
}

TEST_F(FailedJob, TokenTheServiceRejectsFailsTheGreetingAndThePost)
{
    const JobResult result = RunJob({"-Uhttps://example.org/", "-bHi"}, "no-such-token");

    EXPECT_THAT(result.lines,
                ElementsAre("Logged in to Facebook", "Server returned: Bad Request",
                            "ERROR: Invalid OAuth access token.", "", "Posting URL...", "Posting URL and comment...",
                            "Server returned: Bad Request", "ERROR: Invalid OAuth access token.",
                            "Logging out of Facebook...", "Successfully logged out of Facebook",
                            "Please press the 'Close' button to exit"));
    EXPECT_THAT(result.titles,
                ElementsAre(Title("(logging in)"), Title("(logged in)"), Title("(upload photo)"),
                            Title("(error: Server returned:Bad Request)"), Title("(error: Error uploading photo)")));
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(OnlyRecord("post")["answer"]["status"], 400);
}

TEST_F(FailedJob, BodiesThatAreNotJsonLeaveTheResultEmpty)
{
    AnswerPhotoUpload(200, "<html><body>Upload received</body></html>");
    const JobResult upload = RunJob({"-ame", "-f" + photo});
    EXPECT_EQ(upload.PlainLines(), Framed({"Album: Kavlin2 Photos", "", "Upload photo: " + photo, "Server returned: OK",
                                           "ERROR uploading photo"}));
    EXPECT_EQ(upload.PlainTitles().back(), Title("(error: Server returned:OK)"));
    EXPECT_EQ(upload.exitStatus, 1);

    // An album listing that cannot be read sends the photo to the user's photos instead.
    Service().Reset();
    Service().Script(ParseJson(R"({"host": "graph", "path": "/v2.12/me/albums", "method": "GET",
                                   "body": "<html>maintenance</html>"})"));
    const JobResult listing = RunJob({"-aParty", "-f" + photo});
    const Json::Value photoRecord = OnlyRecord("photo");
    EXPECT_EQ(listing.PlainLines(),
              Framed({"Album: Party", "Checking whether album already exists...", "Error parsing response from server",
                      "Error creating album, upload to \"Kavlin2 Photos\" instead", "", "Upload photo: " + photo,
                      "Server returned: OK",
                      "Photo upload successful, photo id: " + photoRecord["details"]["photoId"].asString()}));
    EXPECT_EQ(listing.exitStatus, 0);
    EXPECT_EQ(photoRecord["path"], "/v2.12/me/photos");
    EXPECT_TRUE(Service().Received("album_create").empty());
}

// The stand-in stops reading the body for a while after its first MiB, so the upload is
// surely still running when the signal comes; the cancel is seen at the next step.
TEST_F(FailedJob, SignalDuringAnUploadCancelsItAndStillLogsOut)
{
    SKIP_FOR_THE_WINDOWS_RUNNER("Wine passes no POSIX signal on to a Windows program, which waits for a console event");
    const std::string big = home.Write("media/big.jpg", MediaBytes("\xFF\xD8\xFF\xE0", 16u << 20));
    Service().Script(ParseJson(R"({"host": "graph", "path": "/v2.12/me/photos",
                                   "stallAfterBodyBytes": 1048576, "stallMs": 4000})"));
    const auto job = StartJob({"-ame", "-f" + big});
    const auto started = [](const std::string& line) {
        return line.starts_with("Progress: ") && line != "Progress: 0%";
    };
    ASSERT_TRUE(job->WaitForLine(started, kJobTimeout));
    job->Signal(SIGTERM);
    const JobResult result = job->Finish(kJobTimeout);

    EXPECT_EQ(result.PlainLines(),
              Framed({"Album: Kavlin2 Photos", "", "Upload photo: " + big, "Aborting upload, please wait...",
                      "Unexpected exception", "ERROR uploading photo"}));
    const std::vector<int> percents = result.ProgressPercents();
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.front(), 0);
    EXPECT_LT(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(result.PlainTitles().back(), Title("(error: Error uploading photo)"));
    EXPECT_EQ(result.exitStatus, 1);

    ASSERT_TRUE(Service().WaitFor("photo", 1, 60000));
    const Json::Value upload = OnlyRecord("photo");
    EXPECT_FALSE(upload["bodyComplete"].asBool());
    EXPECT_LT(upload["bodyBytes"].asUInt64(), upload["contentLength"].asUInt64());
    EXPECT_FALSE(upload["details"].isMember("photoId"));
    EXPECT_EQ(Service().Received("logout").size(), 1u);
}

// A cancel ends the transfer in flight instead of waiting out the 30 s stall limit: a
// body the server stopped reading, and an answer the server holds back. The failure
// lines and the logout follow as for any cancel.
TEST_F(FailedJob, SignalEndsAStalledTransferAtOnce)
{
    SKIP_FOR_THE_WINDOWS_RUNNER("Wine passes no POSIX signal on to a Windows program, which waits for a console event");
    struct Stall {
        const char* rule;
        std::string album;
        std::string waitFor;
        std::vector<std::string> lines;
    };
    const std::string big = home.Write("media/big.jpg", MediaBytes("\xFF\xD8\xFF\xE0", 16u << 20));
    const Stall stalls[] = {
        {R"({"host": "graph", "path": "/v2.12/me/photos", "stallAfterBodyBytes": 1048576, "stallMs": 120000})", "me",
         "Progress: 1%",
         Framed({"Album: Kavlin2 Photos", "", "Upload photo: " + big, "Aborting upload, please wait...",
                 "Unexpected exception", "ERROR uploading photo"})},
        {R"({"host": "graph", "path": "/v2.12/me/albums", "method": "GET", "delayMs": 120000})", "Party",
         "Checking whether album already exists...",
         Framed({"Album: Party", "Checking whether album already exists...", "Aborting upload, please wait...",
                 "Upload cancelled"})},
    };
    for (const Stall& stall : stalls) {
        SCOPED_TRACE(stall.rule);
        Service().Reset();
        Service().Script(ParseJson(stall.rule));
        const auto job = StartJob({"-a" + stall.album, "-f" + big});
        ASSERT_TRUE(job->WaitForLine([&](const std::string& line) { return line == stall.waitFor; }, kJobTimeout));
        // Long enough for the transfer to be blocked on the server.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const auto signalled = std::chrono::steady_clock::now();
        job->Signal(SIGTERM);
        const JobResult result = job->Finish(kJobTimeout);

        EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(10));
        EXPECT_EQ(result.PlainLines(), stall.lines);
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(Service().Received("logout").size(), 1u);
    }
}

}  // namespace
}  // namespace jobtest
