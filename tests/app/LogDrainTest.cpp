// The timer's drain takes the whole queue at once and skips the progress lines a newer
// one would replace at once: the list must end exactly as the line-by-line rule leaves
// it. And the status tag: an unchanged title is not set again, every change still is.

#include "tests/app/DialogFixture.h"

#include "app/LogListBox.h"

namespace dialogtest {
namespace {

struct DrainCase {
    const char* name;
    std::vector<std::u16string> before;  // already in the list
    std::vector<std::u16string> queued;
};

const DrainCase kDrainCases[] = {
    {"nothing queued", {u"a", u"Progress: 3%"}, {}},
    {"plain lines", {}, {u"one", u"", u"two"}},
    {"one run of progress", {u"Uploading"}, {u"Progress: 0%", u"Progress: 1%", u"Progress: 2%"}},
    {"run continuing the list's last line", {u"x", u"Progress: 40%"}, {u"Progress: 41%", u"Progress: 42%"}},
    {"run after a plain last line", {u"Progress: 40%", u"Done"}, {u"Progress: 1%", u"Progress: 2%"}},
    {"runs broken by plain lines",
     {},
     {u"Progress: 1%", u"Progress: 2%", u"mid", u"Progress: 3%", u"", u"Progress: 4%", u"Progress: 5%", u"end"}},
    {"empty line between progress lines", {u"Progress: 9%"}, {u"Progress: 10%", u"", u"Progress: 11%"}},
    {"look-alikes are plain lines",
     {u"Progress: 1%"},
     {u"progress: 2%", u"Progress: 3%", u" Progress: 4%", u"Progress:", u"Progress:x", u"Progres: 5%"}},
    {"a lone progress line at the end", {u"a"}, {u"b", u"Progress: 100%"}},
};

class CollapsedDrain : public ::testing::TestWithParam<DrainCase> {};

TEST_P(CollapsedDrain, LeavesTheListAsTheLineByLineRuleDoes)
{
    const DrainCase& c = GetParam();
    VectorLogList oneByOne;
    oneByOne.lines = c.before;
    for (const std::u16string& line : c.queued)
        ShowLogLine(oneByOne, line);

    VectorLogList collapsed;
    collapsed.lines = c.before;
    ShowLogLines(collapsed, std::deque<std::u16string>(c.queued.begin(), c.queued.end()));

    EXPECT_EQ(collapsed.lines, oneByOne.lines);
    EXPECT_EQ(collapsed.selectionClears > 0, oneByOne.selectionClears > 0);
}

INSTANTIATE_TEST_SUITE_P(Sequences, CollapsedDrain, ::testing::ValuesIn(kDrainCases), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.name; *c != '\0'; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

class QueuedLog : public DialogFixture {};

// Through the dialog: appends across ticks, split at arbitrary points, show what the
// rule shows for the whole sequence.
TEST_F(QueuedLog, TicksBetweenAppendsShowWhatTheRuleShows)
{
    Start({u"-uguest@example.com", u"-psecret"});
    std::vector<std::u16string> sequence{u"Logged in", u"", u"user_id=1"};
    for (int percent = 0; percent <= 100; ++percent) {
        const std::string digits = std::to_string(percent);
        sequence.push_back(u"Progress: " + std::u16string(digits.begin(), digits.end()) + u"%");
    }
    sequence.insert(sequence.end(), {u"Video upload successful", u"Progress: 7%", u"Progress: 8%"});

    VectorLogList expected;
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        dialog->AppendLog(sequence[i]);
        ShowLogLine(expected, sequence[i]);
        if (i % 7 == 3 || i == 60)
            Tick();
    }
    Tick();
    EXPECT_EQ(window->list.lines, expected.lines);
    Tick();
    EXPECT_EQ(window->list.lines, expected.lines);
}

class StatusTitles : public DialogFixture {};

TEST_F(StatusTitles, OnlyAChangedTitleIsSetAndEveryChangeIsInOrder)
{
    Start(UnattendedArguments());
    const std::vector<std::u16string> tags{u"(upload video) (Progress: 0%)",
                                           u"(upload video) (Progress: 0%)",
                                           u"(upload video) (Progress: 1%)",
                                           u"(upload video) (Progress: 1%)",
                                           u"(upload video) (Progress: 1%)",
                                           u"(upload ok)",
                                           u"",
                                           u"",
                                           u"(upload ok)"};
    for (const std::u16string& tag : tags)
        dialog->SetStatusTag(tag);
    const std::u16string prefix = u"Orvane Systems Zendrik - ";
    EXPECT_EQ(window->Titles(),
              (std::vector<std::u16string>{prefix + u"(logging in)", prefix + u"(upload video) (Progress: 0%)",
                                           prefix + u"(upload video) (Progress: 1%)", prefix + u"(upload ok)",
                                           u"Orvane Systems Zendrik", prefix + u"(upload ok)"}));
}

}  // namespace
}  // namespace dialogtest
