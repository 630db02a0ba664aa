// The upload button's checks and questions, in interactive mode, and the dialog's
// initialisation in both modes.

#include "tests/app/DialogFixture.h"

#include "app/MessageBoxCaption.h"
#include "app/VersionText.h"
#include "login/LoginUrl.h"
#include "tests/support/TempDir.h"

namespace dialogtest {
namespace {

class DialogButton : public DialogFixture {
protected:
    void SetUp() override { Start({u"-uguest@example.com", u"-psecret"}); }

    std::u16string Existing(const std::string& name)
    {
        const std::string path = files.Write(name, "bytes");
        return std::u16string(path.begin(), path.end());
    }

    bool LoginStarted() const
    {
        return dialog->IsLoginPending() && window->caption == u"Cancel upload" && window->lastLayout.loginPending;
    }

    testsupport::TempDir files;
};

TEST_F(DialogButton, InitialisationShowsTheVersionAndWaitsForTheButton)
{
    EXPECT_EQ(window->WindowTitle(), u"Zendrik v2.4.4");
    EXPECT_EQ(VersionText, u"v2.4.4");
    EXPECT_EQ(browser.m_strEmail, u"guest@example.com");
    EXPECT_EQ(browser.m_strPassword, u"secret");
    EXPECT_FALSE(browser.m_bBlockNewWindows);
    EXPECT_EQ(web.navigations, std::vector<std::u16string>{u"about:blank"});
    EXPECT_EQ(window->surfaceSetUps, 0);
    EXPECT_FALSE(dialog->IsLoginPending());
}

TEST_F(DialogButton, WithoutAConnectionNothingStarts)
{
    connected = false;
    window->edits.linkUrl = u"https://example.com/";
    dialog->OnUploadButton();
    ASSERT_EQ(window->messages.size(), 1u);
    EXPECT_EQ(window->messages[0].text, u"ERROR: no internet connection");
    EXPECT_EQ(window->messages[0].caption, u"Zendrik");
    EXPECT_EQ(window->messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(dialog->IsLoginPending());
    EXPECT_EQ(web.navigations.size(), 1u);
}

TEST_F(DialogButton, NeitherFileNorLinkAsksForAnImage)
{
    dialog->OnUploadButton();
    ASSERT_EQ(window->messages.size(), 1u);
    EXPECT_EQ(window->messages[0].text, u"Please select a JPEG image to upload");
    EXPECT_EQ(window->messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(dialog->IsLoginPending());
}

TEST_F(DialogButton, ALinkAloneStartsTheLoginWithoutFileOrAlbumChecks)
{
    window->edits.linkUrl = u"https://example.com/party";
    dialog->OnUploadButton();
    EXPECT_TRUE(window->messages.empty());
    EXPECT_TRUE(window->Questions().empty());
    EXPECT_TRUE(LoginStarted());
    EXPECT_EQ(web.navigations.back(), BuildLoginUrl());
    EXPECT_EQ(dialog->Job().linkUrl, u"https://example.com/party");
}

TEST_F(DialogButton, AMissingFileIsNamed)
{
    window->edits.filePath = u"/nowhere/shot.jpg";
    window->edits.albumName = u"Party";
    dialog->OnUploadButton();
    ASSERT_EQ(window->messages.size(), 1u);
    EXPECT_EQ(window->messages[0].text, u"ERROR JPEG image file does not exist:\n/nowhere/shot.jpg");
    EXPECT_EQ(window->messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(dialog->IsLoginPending());
}

TEST_F(DialogButton, APathOf260CharactersCountsAsMissingEvenWhenTheFileExists)
{
    const std::u16string path = Existing(std::string(250, 'a') + ".jpg");
    ASSERT_GE(path.size(), 260u);
    window->edits.filePath = path;
    window->edits.albumName = u"Party";
    dialog->OnUploadButton();
    ASSERT_EQ(window->messages.size(), 1u);
    EXPECT_EQ(window->messages[0].text, u"ERROR JPEG image file does not exist:\n" + path);
}

TEST_F(DialogButton, APhotoWithAnAlbumStartsTheLogin)
{
    window->edits.filePath = Existing("shot.jpg");
    window->edits.albumName = u"Party";
    dialog->OnUploadButton();
    EXPECT_TRUE(window->Questions().empty());
    EXPECT_TRUE(LoginStarted());
    EXPECT_EQ(web.navigations.back(), BuildLoginUrl());
}

TEST_F(DialogButton, AGifWithoutAlbumStartsTheLoginWithoutTheQuestion)
{
    window->edits.filePath = Existing("loop.Gif");
    dialog->OnUploadButton();
    EXPECT_TRUE(window->Questions().empty());
    EXPECT_TRUE(LoginStarted());
    EXPECT_EQ(dialog->Job().albumName, u"");
}

TEST_F(DialogButton, AVideoWithoutAlbumIsAskedAboutAndNoLeavesTheFormAsItWas)
{
    window->edits.filePath = Existing("clip.mp4");
    window->Answer(false);
    dialog->OnUploadButton();
    const std::vector<ShownMessage> questions = window->Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, u"No album name entered\nUpload photo to \"Kavlin2 Photos\" album?");
    EXPECT_EQ(questions[0].caption, u"Zendrik");
    EXPECT_FALSE(dialog->IsLoginPending());
    EXPECT_EQ(window->caption, u"Upload to Facebook");
    EXPECT_EQ(dialog->Job().albumName, u"");
    EXPECT_EQ(web.navigations.size(), 1u);
}

TEST_F(DialogButton, YesToTheAlbumQuestionUploadsToTheDefaultAlbum)
{
    window->edits.filePath = Existing("shot.png");
    window->Answer(true);
    dialog->OnUploadButton();
    EXPECT_EQ(window->Questions().size(), 1u);
    EXPECT_EQ(dialog->Job().albumName, u"me");
    EXPECT_TRUE(LoginStarted());
}

TEST_F(DialogButton, ADebugCommentSendsTheBrowserToItsAddress)
{
    window->edits.filePath = Existing("shot.jpg");
    window->edits.albumName = u"Party";
    window->edits.comments = u"DBG:https://127.0.0.1:9/page";
    dialog->OnUploadButton();
    EXPECT_TRUE(LoginStarted());
    EXPECT_EQ(web.navigations.back(), u"https://127.0.0.1:9/page");
}

TEST_F(DialogButton, ADebugCommentWithoutAFileIsJustAComment)
{
    window->edits.linkUrl = u"https://example.com/";
    window->edits.comments = u"DBG:https://127.0.0.1:9/page";
    dialog->OnUploadButton();
    EXPECT_EQ(web.navigations.back(), BuildLoginUrl());
}

TEST_F(DialogButton, BrowseTakesTheChosenFileIntoTheForm)
{
    window->edits.albumName = u"Typed";
    window->chosenFile = u"/home/guest/shot.jpg";
    dialog->OnBrowse();
    EXPECT_EQ(dialog->Job().filePath, u"/home/guest/shot.jpg");
    EXPECT_EQ(window->edits.filePath, u"/home/guest/shot.jpg");
    EXPECT_EQ(window->edits.albumName, u"Typed");
}

TEST_F(DialogButton, AboutShowsTheAboutBox)
{
    dialog->OnAbout();
    EXPECT_EQ(window->aboutBoxes, 1);
}

class DialogInitialisation : public DialogFixture {};

TEST_F(DialogInitialisation, UnattendedStartsTheLoginAtOnceInACentredBox)
{
    Start(UnattendedArguments());
    EXPECT_EQ(window->surfaceSetUps, 1);
    EXPECT_EQ(dialog->Job().windowX, 560);
    EXPECT_EQ(dialog->Job().windowY, 240);
    EXPECT_TRUE(browser.m_bBlockNewWindows);
    EXPECT_EQ(window->Titles(), std::vector<std::u16string>{u"Orvane Systems Zendrik - (logging in)"});
    EXPECT_EQ(web.navigations, (std::vector<std::u16string>{u"about:blank", BuildLoginUrl()}));
    EXPECT_TRUE(dialog->IsLoginPending());
    EXPECT_GE(window->layouts, 1);
}

TEST_F(DialogInitialisation, UnattendedWithoutAConnectionNeverStartsTheLogin)
{
    connected = false;
    Start(UnattendedArguments());
    EXPECT_EQ(window->Titles(),
              std::vector<std::u16string>{u"Orvane Systems Zendrik - (error: No internet connection)"});
    EXPECT_EQ(web.navigations, std::vector<std::u16string>{u"about:blank"});
}

// The start-up connection test may run beside the window's creation; its answer is
// taken where the test stands in the start-up order, with the same visible outcome.
TEST_F(DialogInitialisation, AnEarlyConnectionTestDecidesAsTheInPlaceOneDoes)
{
    const struct {
        bool early;
        bool connected;
        std::u16string title;
        std::size_t navigations;
    } cases[] = {
        {false, true, u"Orvane Systems Zendrik - (logging in)", 2},
        {true, true, u"Orvane Systems Zendrik - (logging in)", 2},
        {false, false, u"Orvane Systems Zendrik - (error: No internet connection)", 1},
        {true, false, u"Orvane Systems Zendrik - (error: No internet connection)", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.early ? "early" : "in place") + (c.connected ? ", connected" : ", offline"));
        connectionTests = 0;
        connectionTestsEnded = 0;
        connected = c.connected;
        connectionTestEarly = c.early;
        Start(UnattendedArguments());
        EXPECT_EQ(connectionTests, 1);
        EXPECT_EQ(window->Titles(), std::vector<std::u16string>{c.title});
        EXPECT_EQ(web.navigations.size(), c.navigations);
        web.navigations.clear();
    }
}

TEST_F(DialogInitialisation, ACloseWhileTheConnectionTestWaitsEndsTheDialogAtOnce)
{
    connectionTestHeld = true;
    Start(UnattendedArguments());
    EXPECT_EQ(window->surfaceSetUps, 1);
    dialog->OnCancel();
    EXPECT_EQ(window->endDialogs, 1);
    connectionTestHeld = false;
    WaitForTheConnectionTestToEnd();
    EXPECT_EQ(dialog->ContinueUnattended(), UnattendedStart::TestingConnection);
    // The answer that came after the close starts no login.
    EXPECT_EQ(web.navigations, std::vector<std::u16string>{u"about:blank"});
    EXPECT_TRUE(window->Titles().empty());
}

TEST_F(DialogInitialisation, AnInteractiveStartRunsNoConnectionTest)
{
    connectionTestEarly = true;
    Start({u"-uguest@example.com", u"-psecret"});
    EXPECT_EQ(connectionTests, 0);
}

TEST_F(DialogInitialisation, UnattendedIgnoresTheHiddenUploadButton)
{
    Start(UnattendedArguments());
    dialog->OnUploadButton();
    EXPECT_EQ(web.navigations.size(), 2u);
    EXPECT_TRUE(window->messages.empty());
}

}  // namespace
}  // namespace dialogtest
