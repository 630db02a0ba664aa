#include "app/CommandLineToken.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::u16string> AllTokens(std::u16string commandLine)
{
    std::vector<std::u16string> tokens;
    while (!commandLine.empty())
        tokens.push_back(NextCommandLineToken(commandLine));
    return tokens;
}

using Tokens = std::vector<std::u16string>;

TEST(NextCommandLineToken, EmptyAndBlankRemaindersGiveOneEmptyToken)
{
    std::u16string empty;
    EXPECT_EQ(NextCommandLineToken(empty), u"");
    EXPECT_EQ(AllTokens(u" \t\r\n\v\f\u3000"), Tokens{u""});
}

TEST(NextCommandLineToken, OnlyTheSpaceEndsATokenAndItStaysInTheRemainder)
{
    std::u16string remainder = u"  -aParty   -bNice ";
    EXPECT_EQ(NextCommandLineToken(remainder), u"-aParty");
    EXPECT_EQ(remainder, u"   -bNice");
    EXPECT_EQ(NextCommandLineToken(remainder), u"-bNice");
    EXPECT_TRUE(remainder.empty());

    EXPECT_EQ(AllTokens(u"-aMy\tAlbum -b"), (Tokens{u"-aMy\tAlbum", u"-b"}));
}

TEST(NextCommandLineToken, QuotesOpenAndCloseAnywhereAndAreNotCopied)
{
    EXPECT_EQ(AllTokens(u"-a\"My Album\" \"-dLong text\""), (Tokens{u"-aMy Album", u"-dLong text"}));
    EXPECT_EQ(AllTokens(u"-a\"My\"\" \"Album"), Tokens{u"-aMy Album"});
    EXPECT_EQ(AllTokens(u"\"\""), Tokens{u""});
}

TEST(NextCommandLineToken, BackslashQuoteIsALiteralQuoteOtherBackslashesStay)
{
    EXPECT_EQ(AllTokens(u"-f\"C:\\Booth\\Shots\\img 1.jpg\""), Tokens{u"-fC:\\Booth\\Shots\\img 1.jpg"});
    EXPECT_EQ(AllTokens(u"-b\"She said \\\"hi\\\" to me\""), Tokens{u"-bShe said \"hi\" to me"});
    EXPECT_EQ(AllTokens(u"-b\\\"a b"), (Tokens{u"-b\"a", u"b"}));
    EXPECT_EQ(AllTokens(u"-fC:\\dir\\"), Tokens{u"-fC:\\dir\\"});
}

TEST(NextCommandLineToken, AnUnclosedQuoteRunsToTheEndWithoutItsTrailingBlanks)
{
    EXPECT_EQ(AllTokens(u"-a\"open album   "), Tokens{u"-aopen album"});
}

}  // namespace
