// The browser's Facebook cookie file between two guests, end to end: deleted by
// default, so the next guest gets the login form; kept with "DeleteFacebookCookies"=0,
// so the next start finds the open session and logs that user out first.

#include "tests/gui/GuiFixture.h"

#include <fstream>

namespace guitest {
namespace {

class CookieSession : public GuiTest {
protected:
    // A logout answered by a script ends nothing: the first guest's session stays open
    // on the service, and only the cookie file decides what the next start finds.
    static void KeepSessionsOpenOnLogout()
    {
        Json::Value rule;
        rule["host"] = "web";
        rule["path"] = "/logout.php";
        rule["status"] = 200;
        rule["body"] = "<html>logged out</html>";
        rule["times"] = 1;
        Service().Script(rule);
    }

    void RunOneShot()
    {
        auto run = Start(Unattended({"-Uhttps://example.com/party"}));
        RunToUploadOk(*run, {"(logging in)", "(logged in)", "(upload ok)"});
    }

    void KeepCookies()
    {
        std::filesystem::create_directories(SettingsFile().parent_path());
        std::ofstream(SettingsFile()) << "Windows Registry Editor Version 5.00\r\n\r\n"
                                         "[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\r\n"
                                         "\"DeleteFacebookCookies\"=dword:00000000\r\n";
    }

    std::vector<std::string> Outcomes(const std::string& kind) const
    {
        std::vector<std::string> outcomes;
        for (const Json::Value& record : Records(kind))
            outcomes.push_back(record["details"]["outcome"].asString());
        return outcomes;
    }

    bool CookieFileLeft() const
    {
        if (!std::filesystem::exists(CookieFolder()))
            return false;
        for (const auto& entry : std::filesystem::directory_iterator(CookieFolder())) {
            if (entry.path().extension() == ".cookie")
                return true;
        }
        return false;
    }
};

TEST_F(CookieSession, WithTheDefaultSettingsTheNextGuestGetsTheLoginForm)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    KeepSessionsOpenOnLogout();
    RunOneShot();
    EXPECT_FALSE(CookieFileLeft()) << "deleted after the dialog";

    RunOneShot();
    EXPECT_EQ(Outcomes("oauth_dialog"), (std::vector<std::string>{"login_form", "login_form"}));
    EXPECT_EQ(Outcomes("login"), (std::vector<std::string>{"ok", "ok"}));
    EXPECT_EQ(Records("post").size(), 2u);
}

TEST_F(CookieSession, WithCookiesKeptTheNextStartLogsThePreviousUserOutFirst)
{
    SKIP_FOR_THE_WINDOWS_WINDOW(kNoPagesUnderWine);
    KeepCookies();
    KeepSessionsOpenOnLogout();
    RunOneShot();
    EXPECT_TRUE(CookieFileLeft()) << "kept after the dialog";
    const std::size_t logoutsOfTheFirstRun = Records("logout").size();

    RunOneShot();
    // The open session answers the dialog at once with a token; no form was shown, so
    // that token is the previous user's: logged out, then the dialog again shows the form.
    EXPECT_EQ(Outcomes("oauth_dialog"), (std::vector<std::string>{"login_form", "session", "login_form"}));
    EXPECT_EQ(Outcomes("login"), (std::vector<std::string>{"ok", "ok"}));
    const Json::Value logouts = Records("logout");
    ASSERT_EQ(logouts.size(), logoutsOfTheFirstRun + 2) << "the previous user's, then the job's own";
    const Json::Value previous = logouts[static_cast<Json::ArrayIndex>(logoutsOfTheFirstRun)];
    EXPECT_EQ(previous["details"]["tokenState"].asString(), "valid");
    EXPECT_TRUE(previous["details"]["sessionClosed"].asBool());
    EXPECT_EQ(Records("post").size(), 2u);
}

}  // namespace
}  // namespace guitest
