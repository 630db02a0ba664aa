// The ends of the session: no token, no connection, the logout's answers, and the
// browser's Facebook cookie file deleted or kept as the settings file says.

#include "tests/job/JobFixture.h"
#include "tests/support/RegistryImport.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

using ::testing::ElementsAre;

namespace jobtest {
namespace {

using SessionJob = JobTest;

std::vector<std::string> LinkJobLinesEndingWith(const std::string& logoutLine)
{
    return {
        "Logged in to Facebook", "User name: " + kUserName,    "",         "Posting URL...",
        "Posting URL...",        "Logging out of Facebook...", logoutLine, "Please press the 'Close' button to exit"};
}

TEST_F(SessionJob, NoTokenAbandonsTheJobWithoutAnyRequest)
{
    const JobResult result = RunJob({"-ame", "-f/nonexistent.jpg"}, std::nullopt);

    EXPECT_THAT(result.lines, ElementsAre("Error logging in: No access token", "Photo upload abandoned", "",
                                          "Please press the 'Close' button to exit"));
    EXPECT_THAT(result.titles, ElementsAre(Title("(logging in)"), Title("(error: Error: No access token)")));
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(Service().Received("me,logout").empty());
}

// Every local user can read a process's command line: the guest's password is gone
// from it while the job runs, the rest of it is still there. Linux shows the wiped
// characters as NULs, the Windows command line as blanks, the quote that a blank in the
// password brought closed.
TEST_F(SessionJob, ThePasswordIsNotInTheRunningProcesssCommandLine)
{
    Service().Script(ParseJson(R"({"host": "graph", "path": "/v2.12/me", "delayMs": 3000, "times": 1})"));
    const auto job = StartJob({"-Uhttps://example.org/", "-y1", "-pguest s3cret", "-uguest@example.com"});
    ASSERT_TRUE(job->WaitForLine([](const std::string& line) { return line == "Logged in to Facebook"; },
                                 std::chrono::seconds(20)));
    const std::string arguments = job->CommandLineAsOthersReadIt();

    EXPECT_NE(arguments.find("-uguest@example.com"), std::string::npos);
    EXPECT_NE(arguments.find(RunsTheWindowsRunner() ? std::string("\"-p\" ") : std::string("-p\0", 3)),
              std::string::npos);
    EXPECT_EQ(arguments.find("s3cret"), std::string::npos);
    EXPECT_EQ(job->Finish(kJobTimeout).exitStatus, 0);
}

TEST_F(SessionJob, WebHostRefusingConnectionsAtTheStartMeansNoInternet)
{
    Service().SetHostOpen("web", false);
    const JobResult result = RunJob({"-Uhttps://example.org/"});

    EXPECT_TRUE(result.lines.empty());
    EXPECT_THAT(result.titles, ElementsAre(Title("(error: No internet connection)")));
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(Service().Received("me,post").empty());
}

TEST_F(SessionJob, LogoutAnswered404CountsAsDoneAnyOtherStatusIsReported)
{
    Service().Script(ParseJson(R"({"host": "web", "path": "/logout.php", "status": 404})"));
    const JobResult notFound = RunJob({"-Uhttps://example.org/"});
    EXPECT_EQ(notFound.lines, LinkJobLinesEndingWith("Successfully logged out of Facebook"));
    EXPECT_EQ(notFound.exitStatus, 0);
    EXPECT_EQ(OnlyRecord("logout")["answer"]["status"], 404);

    Service().Reset();
    Service().Script(ParseJson(R"({"host": "web", "path": "/logout.php", "status": 503, "reason": "Down 100%"})"));
    const JobResult failed = RunJob({"-Uhttps://example.org/"});
    EXPECT_EQ(failed.lines, LinkJobLinesEndingWith("ERROR logging out, status=503: Down 100%"));
    EXPECT_EQ(failed.exitStatus, 0);  // the post was made
}

// The web host closes while the post is held up: the logout then meets a refused
// connection (12029), which counts as logged out.
TEST_F(SessionJob, WebHostRefusingTheLogoutCountsAsLoggedOut)
{
    Service().Script(ParseJson(R"({"host": "graph", "path": "/v2.12/me/feed", "delayMs": 2500})"));
    const auto job = StartJob({"-Uhttps://example.org/"});
    ASSERT_TRUE(Service().WaitFor("post", 1, 60000));
    Service().SetHostOpen("web", false);
    const JobResult result = job->Finish(kJobTimeout);

    EXPECT_EQ(result.lines, LinkJobLinesEndingWith("Successfully logged out of Facebook"));
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_TRUE(Service().Received("logout").empty());
}

// The browser's cookies.txt lines: a host-only cookie of the web host, an HttpOnly one,
// and one of another site. The web host 127.0.0.1:PORT has the Facebook web domain
// "0.0.1", under which the host-only cookies of 127.0.0.1 fall; the Windows runner's,
// localhost:PORT, has "localhost".
std::string SessionCookie(const std::string& host)
{
    return "# Netscape HTTP Cookie File\n" + host + "\tFALSE\t/\tTRUE\t1999999999\tc_user\t1000042\n";
}
std::string HttpOnlyCookie(const std::string& host)
{
    return "#HttpOnly_" + host + "\tFALSE\t/\tTRUE\t1999999999\txs\t17%3Aabc\n";
}
const std::string kOtherSiteCookie = ".example.org\tTRUE\t/\tFALSE\t1999999999\tid\t1\n";

std::string WithoutLineEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// The shell's cookies folder of the Wine prefix (the WebBrowser control's), which
// XDG_DATA_HOME does not move.
std::filesystem::path WindowsCookieFolder()
{
    const std::string local = WithoutLineEnd(testsupport::CommandOutput({"wine", "cmd", "/c", "echo %LOCALAPPDATA%"}));
    return WithoutLineEnd(testsupport::CommandOutput({"winepath", "-u", local})) + "/Microsoft/Windows/INetCookies";
}

// The Windows runner reads its settings from the registry, which the settings file
// reaches through `reg import`. Its registry and cookie folder are the Wine prefix's,
// shared by every case: these cases run alone (CMakeLists.txt) and leave neither behind.
class CookieCleanup : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        if (RunsTheWindowsRunner())
            testsupport::DeleteProgramKey();
    }
    void TearDown() override
    {
        if (RunsTheWindowsRunner())
            testsupport::DeleteProgramKey();
        for (const std::filesystem::path& file : written_)
            std::filesystem::remove(file);
    }

    std::string WriteCookie(const std::string& name, const std::string& bytes)
    {
        std::filesystem::create_directories(folder_);
        const std::filesystem::path file = folder_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        written_.push_back(file);
        return file.string();
    }

    void WriteSettings(const std::string& valueLine) const
    {
        const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\r\n" +
                                 valueLine + "\r\n";
        const std::string file = home.Write("config/OrvaneSystems/Zendrik/settings.reg", text);
        if (RunsTheWindowsRunner())
            EXPECT_TRUE(testsupport::ImportRegistryFile(file, text));
    }

    // In this order: the cookies written below need the folder and the list.
    std::vector<std::filesystem::path> written_;
    const std::filesystem::path folder_ = RunsTheWindowsRunner() ? WindowsCookieFolder() : home.CookieFolder();
    const std::string hostPort = RunnerHostPort("web");
    const std::string host = hostPort.substr(0, hostPort.rfind(':'));
    const std::string otherSite = WriteCookie("other.cookie", kOtherSiteCookie);
};

TEST_F(CookieCleanup, DwordZeroKeepsTheFacebookCookieFiles)
{
    WriteSettings("\"DeleteFacebookCookies\"=dword:00000000");
    const std::string session = WriteCookie("a-session.cookie", SessionCookie(host));
    const std::string httpOnly = WriteCookie("b-session.cookie", HttpOnlyCookie(host));
    EXPECT_EQ(RunJob({}, std::nullopt).exitStatus, 1);
    EXPECT_TRUE(std::filesystem::exists(session));
    EXPECT_TRUE(std::filesystem::exists(httpOnly));
    EXPECT_TRUE(std::filesystem::exists(otherSite));
}

// One Facebook cookie file goes before the job and one after it; the other site's stays.
TEST_F(CookieCleanup, AnythingElseDeletesTheFacebookCookieFiles)
{
    for (const std::string settings :
         {"", "\"DeleteFacebookCookies\"=\"0\"", "\"DeleteFacebookCookies\"=dword:00000001"}) {
        SCOPED_TRACE("settings: " + settings);
        if (!settings.empty())
            WriteSettings(settings);
        const std::string session = WriteCookie("a-session.cookie", SessionCookie(host));
        const std::string httpOnly = WriteCookie("b-session.cookie", HttpOnlyCookie(host));
        EXPECT_EQ(RunJob({}, std::nullopt).exitStatus, 1);
        EXPECT_FALSE(std::filesystem::exists(session));
        EXPECT_FALSE(std::filesystem::exists(httpOnly));
        EXPECT_TRUE(std::filesystem::exists(otherSite));
    }
}

}  // namespace
}  // namespace jobtest
