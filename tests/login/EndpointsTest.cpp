#include "login/WebEndpoints.h"
#include "social/ServiceEndpoints.h"

#include "tests/support/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

namespace {

struct NoHostOverrides {
    ScopedEnvironmentVariable graph{"ZENDRIK_GRAPH_HOST", std::nullopt};
    ScopedEnvironmentVariable video{"ZENDRIK_GRAPH_VIDEO_HOST", std::nullopt};
    ScopedEnvironmentVariable upload{"ZENDRIK_GIF_UPLOAD_HOST", std::nullopt};
    ScopedEnvironmentVariable media{"ZENDRIK_GIF_MEDIA_HOST", std::nullopt};
    ScopedEnvironmentVariable web{"ZENDRIK_WEB_HOST", std::nullopt};
    ScopedEnvironmentVariable redirect{"ZENDRIK_REDIRECT_HOST", std::nullopt};
};

TEST(ServiceEndpoints, DefaultsAreTheRealServices)
{
    const NoHostOverrides none;
    EXPECT_EQ(GraphApiBase(), u"https://graph.facebook.com/v2.12/");
    EXPECT_EQ(GraphVideoBase(), u"https://graph-video.facebook.com/v2.12/");
    EXPECT_EQ(GifUploadAddress(), u"https://upload.giphy.com/v1/gifs");
    EXPECT_EQ(GifMediaBase(), u"https://media.giphy.com/media/");
    EXPECT_EQ(std::u16string_view(GifApiKey), u"Qv7mRtX2pLw9K");
}

TEST(ServiceEndpoints, EachHostIsReplacedByItsOwnVariableKeepingSchemeAndPath)
{
    const NoHostOverrides none;
    ScopedEnvironmentVariable graph("ZENDRIK_GRAPH_HOST", "127.0.0.1:8443");
    ScopedEnvironmentVariable media("ZENDRIK_GIF_MEDIA_HOST", "  localhost:8080 ");
    EXPECT_EQ(GraphApiBase(), u"https://127.0.0.1:8443/v2.12/");
    EXPECT_EQ(GraphVideoBase(), u"https://graph-video.facebook.com/v2.12/");
    EXPECT_EQ(GifMediaBase(), u"https://localhost:8080/media/");
    EXPECT_EQ(GifUploadAddress(), u"https://upload.giphy.com/v1/gifs");

    ScopedEnvironmentVariable video("ZENDRIK_GRAPH_VIDEO_HOST", "127.0.0.2:9443");
    ScopedEnvironmentVariable upload("ZENDRIK_GIF_UPLOAD_HOST", "127.0.0.1:8081");
    EXPECT_EQ(GraphVideoBase(), u"https://127.0.0.2:9443/v2.12/");
    EXPECT_EQ(GifUploadAddress(), u"https://127.0.0.1:8081/v1/gifs");
}

TEST(ServiceEndpoints, BlankOverrideKeepsTheDefault)
{
    const NoHostOverrides none;
    ScopedEnvironmentVariable graph("ZENDRIK_GRAPH_HOST", " \t");
    ScopedEnvironmentVariable web("ZENDRIK_WEB_HOST", "");
    EXPECT_EQ(GraphApiBase(), u"https://graph.facebook.com/v2.12/");
    EXPECT_EQ(FacebookWebHost(), u"www.facebook.com");
}

TEST(WebEndpoints, DefaultWebAddresses)
{
    const NoHostOverrides none;
    EXPECT_EQ(FacebookWebDomain(), u"facebook.com");
    EXPECT_EQ(OAuthDialogAddress(), u"https://www.facebook.com/v2.12/dialog/oauth");
    EXPECT_EQ(LogoutPageAddress(), u"https://www.facebook.com/logout.php");
    EXPECT_EQ(ConnectionTestAddress(), u"https://www.facebook.com/");
    EXPECT_EQ(LogoutNextAddress(), u"http://localhost/logout.html");
    EXPECT_EQ(RedirectAddress(), u"https://" + RedirectHost() + u"/facebook_login_success.htm");
    EXPECT_FALSE(RedirectHost().empty());
}

TEST(WebEndpoints, LocalWebHostKeepsItsPortInAddressesButNotInTheCookieDomain)
{
    const NoHostOverrides none;
    ScopedEnvironmentVariable web("ZENDRIK_WEB_HOST", "127.0.0.1:8443");
    ScopedEnvironmentVariable redirect("ZENDRIK_REDIRECT_HOST", "127.0.0.1:8444");
    EXPECT_EQ(FacebookWebDomain(), u"0.0.1");
    EXPECT_EQ(OAuthDialogAddress(), u"https://127.0.0.1:8443/v2.12/dialog/oauth");
    EXPECT_EQ(LogoutPageAddress(), u"https://127.0.0.1:8443/logout.php");
    EXPECT_EQ(ConnectionTestAddress(), u"https://127.0.0.1:8443/");
    EXPECT_EQ(RedirectAddress(), u"https://127.0.0.1:8444/facebook_login_success.htm");
}

TEST(WebEndpoints, DomainRules)
{
    EXPECT_EQ(WithoutFirstLabel(u"www.facebook.com"), u"facebook.com");
    EXPECT_EQ(WithoutFirstLabel(u"m.web.facebook.com"), u"web.facebook.com");
    EXPECT_EQ(WithoutFirstLabel(u"127.0.0.1"), u"0.0.1");
    EXPECT_EQ(WithoutFirstLabel(u"localhost"), u"localhost");
    EXPECT_EQ(WithoutFirstLabel(u"[::1]"), u"[::1]");

    const HostAndPort plain = SplitHostAndPort(u"www.facebook.com");
    EXPECT_EQ(plain.name, u"www.facebook.com");
    EXPECT_EQ(plain.port, u"");
    const HostAndPort withPort = SplitHostAndPort(u"localhost:8443");
    EXPECT_EQ(withPort.name, u"localhost");
    EXPECT_EQ(withPort.port, u"8443");
    const HostAndPort ipv6 = SplitHostAndPort(u"[::1]:8443");
    EXPECT_EQ(ipv6.name, u"[::1]");
    EXPECT_EQ(ipv6.port, u"8443");
}

TEST(WebEndpoints, OneLabelWebHostIsItsOwnDomain)
{
    const NoHostOverrides none;
    ScopedEnvironmentVariable web("ZENDRIK_WEB_HOST", "localhost:8443");
    EXPECT_EQ(FacebookWebDomain(), u"localhost");
}

}  // namespace
