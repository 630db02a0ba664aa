#include "login/FacebookCookieFile.h"

#include "tests/support/ScopedUserDirs.h"

#include "tests/support/Backend.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string CookieLine(std::string_view domain, std::string_view name = "c_user")
{
    return std::string(domain) + "\tTRUE\t/\tTRUE\t1900000000\t" + std::string(name) + "\t100001";
}

TEST(FacebookCookieLine, DomainWithOrWithoutLeadingDotAndHttpOnlyPrefix)
{
    EXPECT_TRUE(IsFacebookCookieLine(CookieLine("facebook.com"), "facebook.com"));
    EXPECT_TRUE(IsFacebookCookieLine(CookieLine(".facebook.com"), "facebook.com"));
    EXPECT_TRUE(IsFacebookCookieLine("#HttpOnly_" + CookieLine(".facebook.com", "xs"), "facebook.com"));
    EXPECT_TRUE(IsFacebookCookieLine("#HttpOnly_" + CookieLine("facebook.com"), "facebook.com"));
}

TEST(FacebookCookieLine, SubdomainsMatchLookalikesDoNot)
{
    EXPECT_TRUE(IsFacebookCookieLine(CookieLine("www.facebook.com"), "facebook.com"));
    EXPECT_TRUE(IsFacebookCookieLine(CookieLine(".m.facebook.com"), "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine(CookieLine("notfacebook.com"), "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine(CookieLine(".notfacebook.com"), "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine(CookieLine("facebook.com.evil.example"), "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine(CookieLine("Facebook.com"), "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine(CookieLine("example.org"), "facebook.com"));
}

TEST(FacebookCookieLine, CommentsAndOtherLinesDoNotCount)
{
    EXPECT_FALSE(IsFacebookCookieLine("# " + CookieLine("facebook.com"), "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine("#" + CookieLine(".facebook.com"), "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine("# Netscape HTTP Cookie File", "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine("facebook.com/", "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine("facebook.com", "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine("facebook.com\tTRUE\t/", "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine("", "facebook.com"));
    EXPECT_FALSE(IsFacebookCookieLine(CookieLine(""), ""));
    EXPECT_TRUE(IsFacebookCookieLine("facebook.com\tTRUE\t/\tFALSE\t0\tname\t", "facebook.com"));
}

TEST(FacebookCookieLine, TheControlsFormatIsTheDomainAndPathAloneOnALine)
{
    EXPECT_TRUE(IsControlCookieLine("facebook.com/", "facebook.com"));
    EXPECT_TRUE(IsControlCookieLine("facebook.com/ \t\r", "facebook.com"));
    EXPECT_FALSE(IsControlCookieLine("Facebook.com/", "facebook.com"));
    EXPECT_FALSE(IsControlCookieLine("www.facebook.com/", "facebook.com"));
    EXPECT_FALSE(IsControlCookieLine("facebook.com/path/", "facebook.com"));
    EXPECT_FALSE(IsControlCookieLine(" facebook.com/", "facebook.com"));
    EXPECT_FALSE(IsControlCookieLine("/", ""));
}

TEST(FacebookCookieLine, LocalServiceDomainMatchesItsAddress)
{
    EXPECT_TRUE(IsFacebookCookieLine(CookieLine("127.0.0.1"), "0.0.1"));
    EXPECT_FALSE(IsFacebookCookieLine(CookieLine("127.0.0.10"), "0.0.1"));
}

class CookieFolderTest : public ::testing::Test {
protected:
    void WriteCookieFile(const std::string& name, std::string_view content)
    {
        ScopedUserDirs::WriteFile(dirs.CookieFolder() / name, content);
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dirs.CookieFolder() / name); }

    ScopedUserDirs dirs;
    ScopedEnvironmentVariable web{"ZENDRIK_WEB_HOST", std::nullopt};
    const std::string header = "# Netscape HTTP Cookie File\n\n";
};

TEST_F(CookieFolderTest, FileWithAFacebookCookieIsRecognisedInAnyLine)
{
    WriteCookieFile("cookies.cookie", header + CookieLine(".example.org") + "\r\n#HttpOnly_" +
                                          CookieLine(".facebook.com", "xs") + "\r\n");
    EXPECT_TRUE(IsFacebookCookieFile(dirs.CookieFolder() / "cookies.cookie"));
    WriteCookieFile("other.cookie", header + CookieLine(".notfacebook.com") + "\n# " + CookieLine("facebook.com"));
    EXPECT_FALSE(IsFacebookCookieFile(dirs.CookieFolder() / "other.cookie"));
    WriteCookieFile("control.cookie", "c_user\n100001\nfacebook.com/\n1024\n0\n0\n0\n0\n*\n");
    EXPECT_TRUE(IsFacebookCookieFile(dirs.CookieFolder() / "control.cookie"));
    EXPECT_FALSE(IsFacebookCookieFile(dirs.CookieFolder() / "missing.cookie"));
    EXPECT_FALSE(IsFacebookCookieFile(dirs.CookieFolder()));
}

TEST_F(CookieFolderTest, TheCookieDomainFollowsTheWebHostWithoutItsPort)
{
    ScopedEnvironmentVariable local("ZENDRIK_WEB_HOST", "127.0.0.1:8443");
    WriteCookieFile("cookies.cookie", header + CookieLine("127.0.0.1"));
    EXPECT_TRUE(IsFacebookCookieFile(dirs.CookieFolder() / "cookies.cookie"));
    WriteCookieFile("facebook.cookie", header + CookieLine(".facebook.com"));
    EXPECT_FALSE(IsFacebookCookieFile(dirs.CookieFolder() / "facebook.cookie"));
}

TEST_F(CookieFolderTest, AtMostOneFileIsDeletedPerCallAndOthersAreLeftAlone)
{
    SKIP_ON_WINDOWS("the cookie folder is the shell's local application data, which XDG_DATA_HOME does not move");
    WriteCookieFile("a.cookie", header + CookieLine(".facebook.com"));
    WriteCookieFile("b.cookie", header + CookieLine("www.facebook.com"));
    WriteCookieFile("c.cookie", header + CookieLine(".example.org"));
    WriteCookieFile("d.txt", header + CookieLine(".facebook.com"));
    WriteCookieFile("e.cookie.bak", header + CookieLine(".facebook.com"));

    EXPECT_TRUE(DeleteFacebookCookieFile());
    EXPECT_FALSE(Exists("a.cookie"));
    EXPECT_TRUE(Exists("b.cookie"));

    EXPECT_TRUE(DeleteFacebookCookieFile());
    EXPECT_FALSE(Exists("b.cookie"));

    EXPECT_FALSE(DeleteFacebookCookieFile());
    EXPECT_TRUE(Exists("c.cookie"));
    EXPECT_TRUE(Exists("d.txt"));
    EXPECT_TRUE(Exists("e.cookie.bak"));
}

TEST_F(CookieFolderTest, NoFolderNoFilesOrADirectoryNamedLikeOneGiveFalse)
{
    EXPECT_FALSE(DeleteFacebookCookieFile());
    std::filesystem::create_directories(dirs.CookieFolder() / "dir.cookie");
    EXPECT_FALSE(DeleteFacebookCookieFile());
    EXPECT_TRUE(std::filesystem::exists(dirs.CookieFolder() / "dir.cookie"));
}

TEST_F(CookieFolderTest, NoHomeMeansNoFolder)
{
    WriteCookieFile("a.cookie", header + CookieLine(".facebook.com"));
    ScopedEnvironmentVariable home("HOME", std::nullopt);
    ScopedEnvironmentVariable data("XDG_DATA_HOME", std::nullopt);
    EXPECT_FALSE(DeleteFacebookCookieFile());
    EXPECT_TRUE(Exists("a.cookie"));
}

TEST_F(CookieFolderTest, RelativeXdgDataHomeFallsBackToHomeLocalShare)
{
    SKIP_ON_WINDOWS("the cookie folder is the shell's local application data, not below HOME");
    ScopedEnvironmentVariable data("XDG_DATA_HOME", "relative");
    const std::filesystem::path file = dirs.Root() / "home/.local/share/OrvaneSystems/Zendrik/Cookies/x.cookie";
    ScopedUserDirs::WriteFile(file, header + CookieLine(".facebook.com"));
    EXPECT_TRUE(DeleteFacebookCookieFile());
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
