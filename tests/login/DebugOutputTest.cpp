// The login browser's debug lines: on stderr only when asked for, tokens masked.

#include "login/MyDHtmlDlg.h"
#include "login/TokenMask.h"
#include "tests/login/LoginBrowserFakes.h"
#include "tests/support/Backend.h"
#include "tests/support/ScopedUserDirs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The mask ends where the login's capture of a token ends, at '&' and nowhere else.
TEST(TokenMask, MasksUpToTheNextAmpersand)
{
    const struct {
        const char16_t* text;
        const char16_t* masked;
    } cases[] = {
        {u"https://h/x.htm#access_token=EAAB123&expires_in=5400", u"https://h/x.htm#access_token=***&expires_in=5400"},
        {u"/logout.php?access_token=A1&next=x&access_token=B2",
         u"/logout.php?access_token=***&next=x&access_token=***"},
        {u"ACCESS_TOKEN=abc#frag", u"ACCESS_TOKEN=***"},
        {u"q=1&access_token=\u00E9\u4E2D;x", u"q=1&access_token=***"},
        {u"#access_token=A;B&x=1", u"#access_token=***&x=1"},
        {u"#access_token=A#B&x=1", u"#access_token=***&x=1"},
        {u"#access_token=A B\tC&x=1", u"#access_token=***&x=1"},
        {u"#access_token=A\"B'C&x=1", u"#access_token=***&x=1"},
        {u"#access_token=A<B>C&x=1", u"#access_token=***&x=1"},
        {u"#access_token=A%26B%23C&x=1", u"#access_token=***&x=1"},
        {u"access_token=#", u"access_token=***"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskAccessTokens(c.text), c.masked) << "case " << &c - cases;
}

TEST(TokenMask, MasksTheEncodedFormInsideAnotherAddress)
{
    EXPECT_EQ(MaskAccessTokens(u"/logout.php?access%5Ftoken=TOK%2D1&next=y"), u"/logout.php?access%5Ftoken=***&next=y");
    // The encoded value runs on to the outer '&': a plain token inside it is masked whole.
    EXPECT_EQ(MaskAccessTokens(u"next=https%3A%2F%2Fh%2Fa.htm%23access_token%3DSECRET%26expires_in%3D1&y=2"),
              u"next=https%3A%2F%2Fh%2Fa.htm%23access_token%3D***&y=2");
    EXPECT_EQ(MaskAccessTokens(u"access%5Ftoken%3DQ access_token=AB%26CD&z"), u"access%5Ftoken%3D***&z");
}

TEST(TokenMask, LeavesOtherTextAlone)
{
    for (const char16_t* text : {u"", u"about:blank", u"https://h/login.php?skip_api_login=1", u"access_token=&x=1",
                                 u"access_token", u"my_access_tokens=1"}) {
        EXPECT_EQ(MaskAccessTokens(text), text);
    }
    EXPECT_EQ(MaskAccessTokens(u"x_access_token=1"), u"x_access_token=***") << "a longer name still carries a token";
}

class DebugLines : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_ON_WINDOWS("Windows hands the lines to the debugger (OutputDebugStringW), not to stderr");
        login.Attach(browser, messages);
    }

    std::string Capture(void (*notify)(CMyDHtmlDlg&))
    {
        ::testing::internal::CaptureStderr();
        notify(login);
        return ::testing::internal::GetCapturedStderr();
    }

    ScopedUserDirs dirs;
    ScopedEnvironmentVariable redirectHost{"ZENDRIK_REDIRECT_HOST", "127.0.0.1:4431"};
    RecordingBrowser browser;
    RecordingMessages messages;
    CMyDHtmlDlg login;
};

TEST_F(DebugLines, GoToStderrWithTheTokenMasked)
{
    ScopedEnvironmentVariable debug("ZENDRIK_DEBUG", "1");
    EXPECT_EQ(Capture([](CMyDHtmlDlg& l) { l.OnBeforeNavigate(u"https://h/\u00E9"); }),
              "OnBeforeNavigate: https://h/\xC3\xA9\n");
    EXPECT_EQ(Capture([](CMyDHtmlDlg& l) { l.OnNavigateComplete(u"about:blank"); }),
              "OnNavigateComplete: about:blank\n");
    EXPECT_EQ(Capture([](CMyDHtmlDlg& l) {
                  l.m_bLoginPageSeen = true;
                  l.OnDocumentComplete(
                      u"https://127.0.0.1:4431/facebook_login_success.htm#access_token=SECRET&expires_in=5");
              }),
              "OnDocumentComplete: https://127.0.0.1:4431/facebook_login_success.htm#access_token=***&expires_in=5\n");
    EXPECT_EQ(login.AccessToken(), u"SECRET") << "only the line is masked";
}

TEST_F(DebugLines, ShowNoCharacterOfACapturedToken)
{
    ScopedEnvironmentVariable debug("ZENDRIK_DEBUG", "1");
    const std::u16string redirect = u"https://127.0.0.1:4431/facebook_login_success.htm#access_token=";
    for (const std::u16string token : {u"A;B", u"A#B", u"A B", u"A\"B", u"A<B>", u"A%26B", u"A%23B'C\r\nD"}) {
        login.m_bLoginPageSeen = true;
        ::testing::internal::CaptureStderr();
        login.OnDocumentComplete(redirect + token + u"&expires_in=5");
        EXPECT_EQ(
            ::testing::internal::GetCapturedStderr(),
            "OnDocumentComplete: https://127.0.0.1:4431/facebook_login_success.htm#access_token=***&expires_in=5\n");
        EXPECT_EQ(login.AccessToken(), token);
    }
}

TEST_F(DebugLines, AreSilentUnlessAskedFor)
{
    ScopedEnvironmentVariable debug("ZENDRIK_DEBUG", std::nullopt);
    EXPECT_EQ(Capture([](CMyDHtmlDlg& l) {
                  l.OnBeforeNavigate(u"https://h/");
                  l.OnDocumentComplete(u"https://h/");
              }),
              "");
}

}  // namespace
