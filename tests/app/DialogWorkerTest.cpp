// The closing paths while a worker runs, and the worker's question, against the real
// stand-in service (its "me" answer held back so that the worker stays busy).

#include "tests/app/DialogFixture.h"
#include "tests/support/StandinProcess.h"
#include "tests/support/TempDir.h"

#include <cstdlib>

namespace dialogtest {
namespace {

class DialogWorker : public DialogFixture {
public:
    static void SetUpTestSuite()
    {
        service = new testsupport::StandinProcess({"--token", "T1"});
        for (const std::string& line : service->Lines()) {
            if (!line.starts_with("env "))
                continue;
            const std::size_t equals = line.find('=');
            ::setenv(line.substr(4, equals - 4).c_str(), line.substr(equals + 1).c_str(), 1);
        }
    }
    static void TearDownTestSuite()
    {
        delete service;
        service = nullptr;
    }

protected:
    void SetUp() override { service->AdminPost("/_admin/reset", Json::Value(Json::objectValue)); }

    static void HoldBackTheUserName(int milliseconds)
    {
        Json::Value rule;
        rule["host"] = "graph";
        rule["path"] = "/v2.12/me";
        rule["delayMs"] = milliseconds;
        rule["times"] = 1;
        service->Script(rule);
    }

    void LogInWithTheToken()
    {
        browser.SetAccessToken(u"T1");
        dialog->OnLoginFinished();
        ASSERT_TRUE(dialog->IsWorkerBusy());
    }

    int Count(const std::u16string& line) const
    {
        int count = 0;
        for (const std::u16string& shown : window->list.lines)
            count += shown == line ? 1 : 0;
        return count;
    }

    static inline testsupport::StandinProcess* service = nullptr;
    testsupport::TempDir files;
};

TEST_F(DialogWorker, CancellingARunningJobClosesOnceTheWorkerHasFinished)
{
    HoldBackTheUserName(2000);
    Start({u"-Uhttps://example.com/party", u"-uguest@example.com", u"-psecret"});
    dialog->OnUploadButton();
    LogInWithTheToken();
    Tick();
    EXPECT_EQ(window->caption, u"Cancel upload");

    dialog->OnCancel();  // the window's close command, as the button
    EXPECT_EQ(window->caption, u"Closing...");
    EXPECT_FALSE(window->buttonEnabled);
    EXPECT_TRUE(dialog->IsCancelRequested());
    Tick();
    EXPECT_TRUE(ListHas(u"Aborting upload, please wait..."));
    EXPECT_EQ(window->endDialogs, 0) << "never closed under a running worker";

    TickUntilTheWorkerEnds();
    EXPECT_EQ(window->endDialogs, 1);
    EXPECT_EQ(window->list.lines.back(), u"Please press the 'Close' button to exit");
}

TEST_F(DialogWorker, AnUnattendedCloseWhileWorkingCancelsAndClosesAfterTheWorker)
{
    HoldBackTheUserName(2000);
    Start(UnattendedArguments());
    LogInWithTheToken();
    EXPECT_EQ(window->offScreenMoves, 1);

    dialog->OnCancel();
    dialog->OnCancel();
    EXPECT_TRUE(dialog->IsCancelRequested());
    EXPECT_EQ(window->endDialogs, 0);
    Tick();
    EXPECT_EQ(Count(u"Aborting upload, please wait..."), 1);
    EXPECT_EQ(window->endDialogs, 0);

    TickUntilTheWorkerEnds();
    EXPECT_EQ(window->endDialogs, 1);
    EXPECT_TRUE(ListHas(u"Upload cancelled"));
    EXPECT_TRUE(ListHas(u"Successfully logged out of Facebook"));
}

TEST_F(DialogWorker, TheWatchdogCancelsABusyWorkerAndClosesAfterIt)
{
    HoldBackTheUserName(2000);
    Start(UnattendedArguments());
    LogInWithTheToken();
    Tick();
    now += 121;
    dialog->OnTimer();
    EXPECT_TRUE(dialog->IsCancelRequested());
    EXPECT_EQ(window->endDialogs, 0);
    TickUntilTheWorkerEnds();
    EXPECT_EQ(window->endDialogs, 1);
}

TEST_F(DialogWorker, TheWorkersQuestionIsAskedAndNoStopsTheUpload)
{
    const std::string photo = files.Write("shot.jpg", "\xFF\xD8\xFF\xE0 photo bytes");
    Start({u"-a   ", u"-f" + std::u16string(photo.begin(), photo.end()), u"-uguest@example.com", u"-psecret"});
    window->edits = {u"   ", std::u16string(photo.begin(), photo.end()), u"", u"", u""};
    dialog->OnUploadButton();
    ASSERT_TRUE(dialog->IsLoginPending()) << "an album of blanks passes the button's check";
    window->Answer(false);
    LogInWithTheToken();
    TickUntilTheWorkerEnds();

    const std::vector<ShownMessage> questions = window->Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, u"No album name entered, upload photo to \"Kavlin2 Photos\" instead?");
    EXPECT_TRUE(ListHas(u"Upload cancelled"));
    EXPECT_EQ(window->list.lines.back(), u"Please press the 'Close' button to exit");
    EXPECT_TRUE(service->Received("photo").empty());

    // Done: the edits stay locked, only "Close" remains.
    EXPECT_EQ(window->caption, u"Close");
    EXPECT_TRUE(window->lastLayout.hasAccessToken);
    EXPECT_FALSE(window->lastLayout.loginPending);
    EXPECT_EQ(window->endDialogs, 0);
    dialog->OnCancel();
    EXPECT_EQ(window->endDialogs, 1);
}

}  // namespace
}  // namespace dialogtest
