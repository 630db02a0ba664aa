#include "app/CommandLineOptions.h"
#include "app/MessageBoxCaption.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr char16_t kUnattended[] = u"-fshot.jpg -aParty -y10 -uguest@example.com -psecret";

TEST(CommandLineOptions, EmptyOrBlankCommandLineIsInteractiveWithEverythingEmpty)
{
    for (const char16_t* line : {u"", u"   \t "}) {
        const CommandLineOptions options = CommandLineOptions::FromCommandLine(line);
        EXPECT_TRUE(options.interactive);
        EXPECT_FALSE(options.loginPending);
        EXPECT_TRUE(options.job.albumName.empty() && options.job.filePath.empty() && options.job.userEmail.empty());
        EXPECT_EQ(options.job.windowX, 0);
        EXPECT_EQ(options.job.windowHeight, 0);
    }
}

TEST(CommandLineOptions, EveryOptionFillsItsField)
{
    const CommandLineOptions options = CommandLineOptions::FromCommandLine(
        u"-aAlbum -bComment -dDescription -fFile -pPass -uMail -UUrl -x1 -y2 -w3 -h4");
    const UploadJob& job = options.job;
    EXPECT_EQ(job.albumName, u"Album");
    EXPECT_EQ(job.comments, u"Comment");
    EXPECT_EQ(job.description, u"Description");
    EXPECT_EQ(job.filePath, u"File");
    EXPECT_EQ(job.userPassword, u"Pass");
    EXPECT_EQ(job.userEmail, u"Mail");
    EXPECT_EQ(job.linkUrl, u"Url");
    EXPECT_EQ(job.windowX, 1);
    EXPECT_EQ(job.windowY, 2);
    EXPECT_EQ(job.windowWidth, 3);
    EXPECT_EQ(job.windowHeight, 4);
}

TEST(CommandLineOptions, UnattendedNeedsNonzeroYAndBothCredentials)
{
    const CommandLineOptions unattended = CommandLineOptions::FromCommandLine(kUnattended);
    EXPECT_FALSE(unattended.interactive);
    EXPECT_TRUE(unattended.loginPending);

    const CommandLineOptions negativeY = CommandLineOptions::FromCommandLine(u"-y-1 -ua -pb -x0 -w0 -h0");
    EXPECT_FALSE(negativeY.interactive);

    for (const char16_t* line : {u"-y0 -ua -pb -x5 -w5 -h5", u"-ua -pb", u"-y10 -u -pb", u"-y10 -ua -p",
                                 u"-y10 -ua -pb -u", u"-yabc -ua -pb"}) {
        SCOPED_TRACE(std::string(line, line + std::char_traits<char16_t>::length(line)));
        const CommandLineOptions options = CommandLineOptions::FromCommandLine(line);
        EXPECT_TRUE(options.interactive);
        EXPECT_FALSE(options.loginPending);
    }
}

TEST(CommandLineOptions, OptionsAreCaseSensitiveAndUnknownTokensAreIgnored)
{
    const CommandLineOptions options =
        CommandLineOptions::FromCommandLine(u"-AWrong -FWrong -uMail -UUrl stray - -z -aRight");
    EXPECT_EQ(options.job.albumName, u"Right");
    EXPECT_TRUE(options.job.filePath.empty());
    EXPECT_EQ(options.job.userEmail, u"Mail");
    EXPECT_EQ(options.job.linkUrl, u"Url");
}

TEST(CommandLineOptions, LaterValueWinsAndABareOptionSetsEmpty)
{
    const CommandLineOptions options = CommandLineOptions::FromCommandLine(u"-aFirst -aSecond -dText -d -x7 -x");
    EXPECT_EQ(options.job.albumName, u"Second");
    EXPECT_TRUE(options.job.description.empty());
    EXPECT_EQ(options.job.windowX, 0);
}

TEST(CommandLineOptions, QuotedValuesKeepBackslashesAndEscapedQuotes)
{
    const CommandLineOptions options = CommandLineOptions::FromCommandLine(
        u"-f\"C:\\Photo Booth\\img.jpg\" -b\"Say \\\"cheese\\\"\" \"-aMy Album\" -d\"Our\"\" \"day");
    EXPECT_EQ(options.job.filePath, u"C:\\Photo Booth\\img.jpg");
    EXPECT_EQ(options.job.comments, u"Say \"cheese\"");
    EXPECT_EQ(options.job.albumName, u"My Album");
    EXPECT_EQ(options.job.description, u"Our day");
}

TEST(CommandLineOptions, SplitArgumentsAreEachOneTokenBlanksIncluded)
{
    const CommandLineOptions options = CommandLineOptions::FromArguments(
        {u"-aMy Album", u"-b\"quoted\" stays", u"", u"-f/home/booth/shot 1.jpg", u"-y 20", u"-uu", u"-pp"});
    EXPECT_EQ(options.job.albumName, u"My Album");
    EXPECT_EQ(options.job.comments, u"\"quoted\" stays");
    EXPECT_EQ(options.job.filePath, u"/home/booth/shot 1.jpg");
    EXPECT_EQ(options.job.windowY, 20);
    EXPECT_FALSE(options.interactive);
}

TEST(CommandLineOptions, ArgvIsTakenAsUtf8WithoutTheProgramName)
{
    const char* argv[] = {"zendrik2", "-aCaf\xC3\xA9", "-b\xE6\xBC\xA2", nullptr};
    const std::vector<std::u16string> arguments = ArgumentsFromArgv(3, argv);
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[0], u"-aCaf\u00E9");
    EXPECT_EQ(arguments[1], u"-b\u6F22");
}

TEST(CommandLineInteger, LeadingBlanksSignAndDigitsUpToTheFirstOther)
{
    EXPECT_EQ(CommandLineInteger(u"12abc"), 12);
    EXPECT_EQ(CommandLineInteger(u"-5"), -5);
    EXPECT_EQ(CommandLineInteger(u"+7"), 7);
    EXPECT_EQ(CommandLineInteger(u" \t 42"), 42);
    EXPECT_EQ(CommandLineInteger(u"abc"), 0);
    EXPECT_EQ(CommandLineInteger(u""), 0);
    EXPECT_EQ(CommandLineInteger(u"-"), 0);
    EXPECT_EQ(CommandLineInteger(u"- 5"), 0);
    EXPECT_EQ(CommandLineInteger(u"1 2"), 1);
    EXPECT_EQ(CommandLineInteger(u"0x10"), 0);
}

TEST(CommandLineInteger, ValuesBeyondThirtyTwoBitsStopAtTheLimits)
{
    EXPECT_EQ(CommandLineInteger(u"2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CommandLineInteger(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(CommandLineInteger(u"2147483648"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CommandLineInteger(u"-99999999999999999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(MessageBoxCaption, StartsAsZendrik2AndBecomesZendrikOnlyInInteractiveMode)
{
    EXPECT_EQ(MessageBoxCaption, u"Zendrik2");
    AdoptMessageBoxCaptionForMode(CommandLineOptions::FromCommandLine(kUnattended).interactive);
    EXPECT_EQ(MessageBoxCaption, u"Zendrik2");
    AdoptMessageBoxCaptionForMode(CommandLineOptions::FromCommandLine(u"-y0 -ua -pb").interactive);
    EXPECT_EQ(MessageBoxCaption, u"Zendrik");
}

}  // namespace
