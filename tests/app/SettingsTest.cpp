#include "app/Settings.h"

#include "tests/support/ScopedUserDirs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void WithValues(std::string_view lines) { dirs.WriteSettings(SettingsFileWith(lines)); }
    ScopedUserDirs dirs;
};

TEST_F(SettingsFileTest, CookiesAreKeptOnlyForADwordZero)
{
    WithValues("\"DeleteFacebookCookies\"=dword:00000000");
    EXPECT_FALSE(ShouldDeleteFacebookCookies());
}

TEST_F(SettingsFileTest, CookiesAreDeletedForEveryOtherSetting)
{
    EXPECT_TRUE(ShouldDeleteFacebookCookies()) << "no settings file";
    for (const char* line :
         {"\"DeleteFacebookCookies\"=dword:00000001", "\"DeleteFacebookCookies\"=dword:80000000",
          "\"DeleteFacebookCookies\"=\"0\"", "\"DeleteFacebookCookies\"=hex:00,00,00,00",
          "\"DeleteFacebookCookies\"=hex(4):00,00", "\"DeleteFacebookCookies\"=hex(4):00,00,00,00,00,00,00,00",
          "\"SomethingElse\"=dword:00000000", "\"DeleteFacebookCookies\"=dword:zero"}) {
        SCOPED_TRACE(line);
        WithValues(line);
        EXPECT_TRUE(ShouldDeleteFacebookCookies());
    }
}

TEST_F(SettingsFileTest, CookieSettingUnderAnotherKeyDoesNotCount)
{
    dirs.WriteSettings(
        "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\101]\n"
        "\"DeleteFacebookCookies\"=dword:00000000\n");
    EXPECT_TRUE(ShouldDeleteFacebookCookies());
}

}  // namespace
