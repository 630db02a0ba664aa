// The login form's address against the real web host's name: the domain and its
// subdomains, https, port 443, the path "/login.php" with a query.

#include "login/LoginPageAddress.h"
#include "platform/win32/Utf.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char16_t* url;
    bool isLoginPage;
};

TEST(LoginPageAddress, TheWebDomainsOwnLoginFormOnly)
{
    const Case cases[] = {
        {u"https://www.facebook.com/login.php?skip_api_login=1", true},
        {u"https://facebook.com/login.php?x", true},
        {u"https://m.facebook.com/login.php?x", true},
        {u"https://www.facebook.com:443/login.php?x", true},
        {u"https://WWW.Facebook.COM/login.php?x", true},
        {u"https://www.facebook.com:8443/login.php?x", false},
        {u"https://evilfacebook.com/login.php?x", false},
        {u"https://facebook.com.evil.example/login.php?x", false},
        {u"https://evil.example/facebook.com/login.php?x", false},
        {u"https://evil.example/?next=facebook.com/login.php?x", false},
        {u"https://facebook.com@evil.example/login.php?x", false},
        {u"http://www.facebook.com/login.php?x", false},
        {u"https://www.facebook.com/Login.php?x", false},
        {u"https://www.facebook.com/login.php#?x", false},
        {u"https:///login.php?x", false},
        {u"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsLoginPageAddressOf(c.url, u"www.facebook.com"), c.isLoginPage) << Utf16ToUtf8(c.url);
}

TEST(LoginPageAddress, AnAddressAsWebHostIsMatchedWhole)
{
    EXPECT_TRUE(IsLoginPageAddressOf(u"https://127.0.0.1:8443/login.php?x", u"127.0.0.1:8443"));
    EXPECT_FALSE(IsLoginPageAddressOf(u"https://10.0.0.1:8443/login.php?x", u"127.0.0.1:8443"));
    EXPECT_FALSE(IsLoginPageAddressOf(u"https://127.0.0.1/login.php?x", u"127.0.0.1:8443"));
    EXPECT_TRUE(IsLoginPageAddressOf(u"https://[::1]:8443/login.php?x", u"[::1]:8443"));
    EXPECT_TRUE(IsLoginPageAddressOf(u"https://localhost:8443/login.php?x", u"localhost:8443"));
}

}  // namespace
