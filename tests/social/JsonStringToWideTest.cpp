// The text of JSON strings as the operations show it.

#include "social/JsonStringToWide.h"

#include <gtest/gtest.h>

using social::JsonStringToWide;

namespace {

Json::Value Bytes(const std::string& bytes) { return Json::Value(bytes.data(), bytes.data() + bytes.size()); }

}  // namespace

TEST(JsonStringToWide, DecodesOneTwoAndThreeByteSequences)
{
    EXPECT_EQ(JsonStringToWide(Json::Value("Ann")), u"Ann");
    EXPECT_EQ(JsonStringToWide(Json::Value("Jos\xC3\xA9")), u"Jos\u00E9");
    EXPECT_EQ(JsonStringToWide(Json::Value("\xE6\xBC\xA2")), u"\u6F22");
    EXPECT_EQ(JsonStringToWide(Json::Value("")), u"");
    // An embedded NUL is a character like any other.
    EXPECT_EQ(JsonStringToWide(Bytes(std::string("a\0b", 3))), std::u16string(u"a\0b", 3));
}

TEST(JsonStringToWide, DropsCharactersBeyondTheBasicPlaneAndStrayBytes)
{
    // U+1F600 is four bytes: all of them are skipped, the rest stays.
    EXPECT_EQ(JsonStringToWide(Json::Value("Hi \xF0\x9F\x98\x80!")), u"Hi !");
    // A continuation byte standing alone.
    EXPECT_EQ(JsonStringToWide(Bytes("a\x80z")), u"az");
    // A two-byte lead whose next byte is no continuation: both bytes go.
    EXPECT_EQ(JsonStringToWide(Bytes("a\xC3zb")), u"ab");
    // A three-byte lead takes its next two bytes whatever they are.
    EXPECT_EQ(JsonStringToWide(Bytes("\xE6zzq")), std::u16string(1, char16_t(0x6EBA)) + u"q");
}

TEST(JsonStringToWide, SequenceCutOffByTheEndYieldsNothingAndReadsNoFurther)
{
    // The values are built from exact byte ranges, so a read past the end would be
    // caught by the sanitizers, and anything decoded from beyond would show.
    EXPECT_EQ(JsonStringToWide(Bytes("ab\xC3")), u"ab");
    EXPECT_EQ(JsonStringToWide(Bytes("ab\xE6")), u"ab");
    EXPECT_EQ(JsonStringToWide(Bytes("ab\xE6\xBC")), u"ab");
    EXPECT_EQ(JsonStringToWide(Bytes("\xF0\x9F")), u"");
}

TEST(JsonStringToWide, OnlyStringsConvert)
{
    EXPECT_EQ(JsonStringToWide(Json::Value(12345)), u"");
    EXPECT_EQ(JsonStringToWide(Json::Value(true)), u"");
    EXPECT_EQ(JsonStringToWide(Json::Value()), u"");
    EXPECT_EQ(JsonStringToWide(Json::Value(Json::objectValue)), u"");
    EXPECT_EQ(JsonStringToWide(Json::Value(Json::arrayValue)), u"");
}
