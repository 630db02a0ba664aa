// The timer tick: the log queue into the list, the end of a run, a cancelled login and
// the unattended watchdog; and the closing paths that need no worker.

#include "tests/app/DialogFixture.h"

#include "login/LoginUrl.h"

namespace dialogtest {
namespace {

class DialogTimer : public DialogFixture {
protected:
    void StartInteractive() { Start({u"-uguest@example.com", u"-psecret"}); }

    void StartLoginWithALink()
    {
        window->edits.linkUrl = u"https://example.com/";
        dialog->OnUploadButton();
        ASSERT_TRUE(dialog->IsLoginPending());
    }
};

TEST_F(DialogTimer, LinesAppendedBetweenTwoTicksAllAppearAtTheNextInOrder)
{
    StartInteractive();
    dialog->AppendLog(u"one");
    dialog->AppendLog(u"two");
    dialog->AppendLog(u"");
    EXPECT_TRUE(window->list.lines.empty());
    Tick();
    EXPECT_EQ(window->list.lines, (std::vector<std::u16string>{u"one", u"two", u""}));
    EXPECT_GE(window->list.selectionClears, 3);
}

TEST_F(DialogTimer, ARunOfProgressLinesShowsOnlyTheNewest)
{
    StartInteractive();
    dialog->AppendLog(u"Uploading");
    dialog->AppendLog(u"Progress: 10%");
    dialog->AppendLog(u"Progress: 20%");
    Tick();
    dialog->AppendLog(u"Progress: 30%");
    Tick();
    EXPECT_EQ(window->list.lines, (std::vector<std::u16string>{u"Uploading", u"Progress: 30%"}));
    dialog->AppendLog(u"Done");
    dialog->AppendLog(u"Progress: 5%");
    Tick();
    EXPECT_EQ(window->list.lines,
              (std::vector<std::u16string>{u"Uploading", u"Progress: 30%", u"Done", u"Progress: 5%"}));
}

// Without a window (the headless runner) every percentage stays queued; only a progress
// line repeating the one queued right before it is dropped.
TEST_F(DialogTimer, WithoutAWindowOnlyRepeatedProgressLinesAreDropped)
{
    CZendrik2Dlg headless({}, browser);
    for (const char16_t* line : {u"Progress: 0%", u"Progress: 0%", u"Progress: 1%", u"Progress: 1%", u"Done",
                                 u"Progress: 1%", u" Progress: 1%", u" Progress: 1%"})
        headless.AppendLog(line);
    EXPECT_EQ(headless.TakeQueuedLogLines(),
              (std::deque<std::u16string>{u"Progress: 0%", u"Progress: 1%", u"Done", u"Progress: 1%", u" Progress: 1%",
                                          u" Progress: 1%"}));
}

TEST_F(DialogTimer, ProgressReplacementKeepsLinesThatOnlyLookAlike)
{
    StartInteractive();
    dialog->AppendLog(u"progress: lower case");
    dialog->AppendLog(u"Progress: 1%");
    dialog->AppendLog(u" Progress: 2%");
    dialog->AppendLog(u"Progress: 3%");
    Tick();
    EXPECT_EQ(window->list.lines.size(), 4u);
}

TEST_F(DialogTimer, TheFormClosesAtOnceOnEscapeOrTheCloseCommand)
{
    StartInteractive();
    dialog->OnCancel();
    EXPECT_EQ(window->endDialogs, 1);
    EXPECT_TRUE(dialog->IsClosing());
    dialog->OnCancel();
    Tick();
    EXPECT_EQ(window->endDialogs, 1);
}

TEST_F(DialogTimer, ClosingTakesTheEditsIntoTheFields)
{
    StartInteractive();
    window->edits.albumName = u"Typed later";
    dialog->OnCancel();
    EXPECT_EQ(dialog->Job().albumName, u"Typed later");
}

TEST_F(DialogTimer, ClosingDuringTheLoginAsksAndNoKeepsTheLoginGoing)
{
    StartInteractive();
    StartLoginWithALink();
    window->Answer(false);
    dialog->OnCancel();
    ASSERT_EQ(window->Questions().size(), 1u);
    EXPECT_EQ(window->Questions()[0].text, u"Cancel upload and exit app?");
    EXPECT_EQ(window->endDialogs, 0);
    EXPECT_TRUE(dialog->IsLoginPending());
    Tick(4);
    EXPECT_EQ(window->caption, u"Cancel upload");

    window->Answer(true);
    dialog->OnCancel();
    EXPECT_EQ(window->endDialogs, 1);
}

TEST_F(DialogTimer, APageClosingItsWindowCancelsTheInteractiveLogin)
{
    StartInteractive();
    StartLoginWithALink();
    EXPECT_TRUE(browser.OnWindowClosing());
    Tick();
    EXPECT_FALSE(dialog->IsLoginPending());
    EXPECT_FALSE(browser.m_bCloseRequested);
    EXPECT_EQ(window->caption, u"Upload to Facebook");
    EXPECT_EQ(web.navigations.back(), u"about:blank");
    EXPECT_FALSE(window->lastLayout.loginPending);
    Tick();
    EXPECT_EQ(window->list.lines, std::vector<std::u16string>{u"Facebook login cancelled"});
    EXPECT_EQ(window->endDialogs, 0);
    // Back in the form state: the button starts a new login.
    dialog->OnUploadButton();
    EXPECT_TRUE(dialog->IsLoginPending());
}

TEST_F(DialogTimer, ALoginWithoutTokenEndsInTheDoneState)
{
    StartInteractive();
    StartLoginWithALink();
    browser.SetLoginError(u"Permissions error");
    dialog->OnLoginFinished();
    EXPECT_FALSE(dialog->IsWorkerBusy());
    Tick();
    EXPECT_EQ(window->list.lines,
              (std::vector<std::u16string>{u"Error logging in: Permissions error", u"Photo upload abandoned", u"",
                                           u"Please press the 'Close' button to exit"}));
    EXPECT_EQ(window->caption, u"Close");
    EXPECT_EQ(window->endDialogs, 0);
    dialog->OnCancel();
    EXPECT_EQ(window->endDialogs, 1);
}

TEST_F(DialogTimer, TheCloseButtonCloses)
{
    StartInteractive();
    window->caption = u"Close";
    dialog->OnUploadButton();
    EXPECT_EQ(window->endDialogs, 1);
}

TEST_F(DialogTimer, CancelWithoutLoginOrWorkerAsksFirst)
{
    StartInteractive();
    window->caption = u"Cancel upload";
    window->Answer(false);
    dialog->OnUploadButton();
    EXPECT_EQ(window->Questions().size(), 1u);
    EXPECT_EQ(window->endDialogs, 0);
}

TEST_F(DialogTimer, AnUnattendedPageClosingItsWindowCountsAsAFailedLogin)
{
    Start(UnattendedArguments());
    EXPECT_TRUE(browser.OnWindowClosing());
    Tick();
    EXPECT_EQ(window->WindowTitle(), u"Orvane Systems Zendrik - (login failed)");
    EXPECT_EQ(window->offScreenMoves, 1);
    EXPECT_EQ(web.navigations.back(), u"about:blank");
    EXPECT_TRUE(dialog->IsLoginPending());
    EXPECT_FALSE(browser.m_bCloseRequested);
}

TEST_F(DialogTimer, WatchdogClosesTheIdleUnattendedDialogAfterMoreThan120Seconds)
{
    Start(UnattendedArguments());
    Tick();  // records the title
    now += 120;
    Tick();
    EXPECT_EQ(window->endDialogs, 0) << "exactly 120 seconds is not more than 120";
    now += 1;
    dialog->OnTimer();
    EXPECT_EQ(window->endDialogs, 1);
}

TEST_F(DialogTimer, EveryTitleChangeRestartsTheWatchdog)
{
    Start(UnattendedArguments());
    Tick();
    now += 100;
    dialog->SetStatusTag(u"(login failed)");
    Tick();
    now += 100;
    Tick();
    EXPECT_EQ(window->endDialogs, 0);
    now += 30;
    dialog->OnTimer();
    EXPECT_EQ(window->endDialogs, 1);
}

TEST_F(DialogTimer, TheWatchdogSleepsInInteractiveMode)
{
    StartInteractive();
    Tick();
    now += 10'000;
    Tick(2);
    EXPECT_EQ(window->endDialogs, 0);
}

TEST_F(DialogTimer, AnUnattendedCloseWithoutWorkerClosesAtOnce)
{
    Start(UnattendedArguments());
    dialog->OnCancel();
    EXPECT_EQ(window->endDialogs, 1);
}

TEST_F(DialogTimer, ALoginFinishedAfterTheCloseStartsNoWorker)
{
    Start(UnattendedArguments());
    dialog->OnCancel();
    browser.SetAccessToken(u"T1");
    dialog->OnLoginFinished();
    EXPECT_FALSE(dialog->IsWorkerBusy());
}

}  // namespace
}  // namespace dialogtest
