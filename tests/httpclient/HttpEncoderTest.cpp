#include "httpclient/HttpEncoder.h"
#include "httpclient/HttpClientException.h"
#include "platform/codepage/CodePage.h"
#include "tests/support/Backend.h"

#include "CaughtException.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Tavik;

namespace {

// Sized by the length function, as the client does, with a guard unit after the end.
std::string UrlA(const char16_t* text, bool utf8, UINT codePage)
{
    const DWORD length = CHttpEncoderW::UrlEncodeLen(text, utf8, codePage);
    std::string buffer(length + 2, '#');
    CHttpEncoderW::UrlEncodeA(buffer.data(), text, utf8, codePage);
    EXPECT_EQ('\0', buffer[length]) << "the terminator is not where the length said";
    EXPECT_EQ('#', buffer[length + 1]) << "written past the announced length";
    return buffer.substr(0, length);
}

std::u16string UrlW(const char16_t* text, bool utf8, UINT codePage)
{
    const DWORD length = CHttpEncoderW::UrlEncodeLen(text, utf8, codePage);
    std::u16string buffer(length + 2, u'#');
    CHttpEncoderW::UrlEncodeW(buffer.data(), text, utf8, codePage);
    EXPECT_EQ(u'\0', buffer[length]);
    EXPECT_EQ(u'#', buffer[length + 1]);
    return buffer.substr(0, length);
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

TEST(UrlEncoding, ByteRule)
{
    for (const bool utf8 : {true, false}) {
        EXPECT_EQ("a+b", UrlA(u"a b", utf8, 1252));
        EXPECT_EQ("x%2Dy%5Fz%2E%7E", UrlA(u"x-y_z.~", utf8, 1252));
        EXPECT_EQ("100%25", UrlA(u"100%", utf8, 1252));
        EXPECT_EQ("AZaz09%26%3D%2B%2F%3F", UrlA(u"AZaz09&=+/?", utf8, 1252));
        EXPECT_EQ(u"a+b%26c", UrlW(u"a b&c", utf8, 1252));
    }
    EXPECT_EQ("%0D%0A%09", UrlA(u"\r\n\t", true, 0));
}

TEST(UrlEncoding, NonAsciiFollowsTheModeAndCodePage)
{
    EXPECT_EQ("%C3%A9", UrlA(u"\u00E9", true, 1252));
    EXPECT_EQ("%E9", UrlA(u"\u00E9", false, 1252));
    EXPECT_EQ(u"%C3%A9", UrlW(u"\u00E9", true, 0));
    EXPECT_EQ(u"%E9", UrlW(u"\u00E9", false, 1252));
    EXPECT_EQ("%80", UrlA(u"\u20AC", false, 1252));
    // Not in the page: its default character, where the real library first looks for a
    // look-alike ("best fit").
    EXPECT_EQ(testsupport::kRealWindowsLibraries ? "A" : "%3F", UrlA(u"\u0100", false, 1252));
    EXPECT_EQ("%CF%F0", UrlA(u"\u041F\u0440", false, 1251));
    // The code-page check belongs to the plain conversion: URL encoding in UTF-8 through
    // the code page argument is allowed.
    EXPECT_EQ("%C3%A9", UrlA(u"\u00E9", false, CP_UTF8));
}

TEST(UrlEncoding, SurrogateHalvesAreConvertedOneByOne)
{
    EXPECT_EQ("%EF%BF%BD%EF%BF%BD", UrlA(u"\U0001F600", true, 0));
    EXPECT_EQ("%3F%3F", UrlA(u"\U0001F600", false, 1252));
}

// UTF-7 writes more than a unit's own bytes, and UTF-16 writes zero bytes: every byte
// the conversion reports is encoded, and none past it is read.
TEST(UrlEncoding, StatefulAndTwoByteCodePagesEncodeEveryByte)
{
    const struct {
        const char16_t* text;
        UINT codePage;
        std::string expected;
    } cases[] = {
        {u"a", CP_UTF7, "a"},
        {u"\u00E9", CP_UTF7, "%2BAOk%2D"},
        {u"a\u00E9 b", CP_UTF7, "a%2BAOk%2D+b"},
        {u"\u65E5", CP_UTF7, "%2BZeU%2D"},
        {u"Ab 1", 1201, "%00A%00b%00+%001"},
        {u"\u00E9&", 1201, "%00%E9%00%26"},
        {u"A\u20AC", 1200, "A%00%AC+"},  // the byte 0x20 is the blank
    };
    for (const auto& c : cases) {
        if (testsupport::kRealWindowsLibraries && (c.codePage == 1200 || c.codePage == 1201))
            continue;  // the real conversion refuses the UTF-16 pages (error 87)
        EXPECT_EQ(c.expected, UrlA(c.text, false, c.codePage)) << c.codePage;
        EXPECT_EQ(Widen(c.expected), UrlW(c.text, false, c.codePage)) << c.codePage;
    }
}

TEST(UrlEncoding, LengthAlwaysMatchesWhatIsWritten)
{
    const std::vector<std::u16string> texts = {
        u"plain",
        u"two words",
        u"caf\u00E9 \u20AC100 & more",
        u"\u65E5\u672C\u8A9E",
        u"\U0001F600!",
        u"~!@#$%^&*()_+`-={}|[]\\:\";'<>?,./",
        std::u16string(1000, u'\u00E9'),
    };
    for (const auto& text : texts) {
        for (const bool utf8 : {true, false}) {
            for (const UINT codePage :
                 {0u, 1252u, 932u, UINT{CP_UTF7}, testsupport::kRealWindowsLibraries ? 1252u : 1201u}) {
                const std::string narrow = UrlA(text.c_str(), utf8, codePage);
                EXPECT_EQ(Widen(narrow), UrlW(text.c_str(), utf8, codePage));
            }
        }
    }
}

TEST(UrlEncoding, NullAndEmptyGiveJustTheTerminator)
{
    for (const char16_t* text : {static_cast<const char16_t*>(nullptr), u""}) {
        EXPECT_EQ(0u, CHttpEncoderW::UrlEncodeLen(text, true, 0));
        EXPECT_EQ(0u, CHttpEncoderW::AnsiEncodeLen(text, 0));
        EXPECT_EQ(0u, CHttpEncoderW::Utf8EncodeLen(text));
        char narrow[2] = {'#', '#'};
        char16_t wide[2] = {u'#', u'#'};
        CHttpEncoderW::UrlEncodeA(narrow, text, false, 12345);  // nothing to convert: no 600
        EXPECT_EQ('\0', narrow[0]);
        CHttpEncoderW::UrlEncodeW(wide, text, false, 0);
        EXPECT_EQ(u'\0', wide[0]);
        narrow[0] = '#';
        CHttpEncoderW::AnsiEncode(narrow, text, 0);
        EXPECT_EQ('\0', narrow[0]);
        narrow[0] = '#';
        CHttpEncoderW::Utf8Encode(narrow, text);
        EXPECT_EQ('\0', narrow[0]);
        EXPECT_EQ('#', narrow[1]);
    }
}

TEST(PlainEncoding, LengthsAndFills)
{
    EXPECT_EQ(9u, CHttpEncoderW::Utf8EncodeLen(u"\u20AC\u20AC\u20AC"));
    char utf8[10];
    EXPECT_EQ(utf8, CHttpEncoderW::Utf8Encode(utf8, u"\u20AC\u20AC\u20AC"));
    EXPECT_EQ(std::string("\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"), std::string(utf8));

    EXPECT_EQ(5u, CHttpEncoderW::AnsiEncodeLen(u"caf\u00E9!", 1252));
    char ansi[6];
    EXPECT_EQ(ansi, CHttpEncoderW::AnsiEncode(ansi, u"caf\u00E9!", 1252));
    EXPECT_EQ(std::string("caf\xE9!"), std::string(ansi));

    EXPECT_EQ(4u, CHttpEncoderW::AnsiEncodeLen(u"\u65E5\u672C", 932));
}

TEST(EncoderChecks, MessagesAndOrder)
{
    const struct {
        std::function<void()> call;
        std::u16string message;
    } cases[] = {
        {[] { CHttpEncoderW::AnsiEncodeLen(u"", CP_UTF8); },
         u"CHttpEncoderW::AnsiEncodeLen: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
        {[] { CHttpEncoderW::AnsiEncodeLen(nullptr, CP_UTF7); },
         u"CHttpEncoderW::AnsiEncodeLen: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
        {[] { CHttpEncoderW::AnsiEncode(nullptr, u"x", CP_UTF7); },
         u"CHttpEncoderW::AnsiEncode: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
        {[] { CHttpEncoderW::AnsiEncode(nullptr, u"x", 0); }, u"CHttpEncoderW::AnsiEncode: szBuff can not be NULL."},
        {[] { CHttpEncoderW::Utf8Encode(nullptr, nullptr); }, u"CHttpEncoderW::Utf8Encode: szBuff can not be NULL."},
        {[] { CHttpEncoderW::UrlEncodeA(nullptr, u"x", false, 12345); },
         u"CHttpEncoderW::UrlEncodeA: szBuff can not be NULL."},
        {[] { CHttpEncoderW::UrlEncodeW(nullptr, u"x", false, 12345); },
         u"CHttpEncoderW::UrlEncodeW: szBuff can not be NULL."},
        {[] { CHttpEncoderW::_UrlEncodeLen(nullptr); }, u"_UrlEncodeLen: szStr can not be NULL."},
    };
    for (const auto& c : cases) {
        const httpclientexceptionW e = Caught(c.call);
        EXPECT_EQ(c.message, std::u16string(e.Message()));
        EXPECT_EQ(0u, e.ErrorCode());
        EXPECT_EQ(0u, e.Win32Error());
    }
}

TEST(EncoderChecks, FailedConversionIs600WithTheLastError)
{
    for (const auto& call : std::vector<std::function<void()>>{
             [] { CHttpEncoderW::AnsiEncodeLen(u"x", 12345); },
             [] { CHttpEncoderW::UrlEncodeLen(u"x", false, 12345); },
             [] {
                 char buffer[8];
                 CHttpEncoderW::UrlEncodeA(buffer, u"x", false, 12345);
             },
         }) {
        const httpclientexceptionW e = Caught(call);
        EXPECT_EQ(600u, e.ErrorCode());
        EXPECT_EQ(ERROR_INVALID_PARAMETER, e.Win32Error());
        EXPECT_EQ(u"::WideCharToMultiByte failed.", std::u16string(e.Message()));
    }
}

TEST(ByteStringEncoding, EncodesUpToTheTerminatorAndReturnsItsAddress)
{
    const char bytes[] = "a \xFF-";
    EXPECT_EQ(8u, CHttpEncoderW::_UrlEncodeLen(bytes));
    char narrow[9];
    char* end = CHttpEncoderW::_UrlEncodeA(narrow, bytes);
    EXPECT_EQ(narrow + 8, end);
    EXPECT_EQ(std::string("a+%FF%2D"), std::string(narrow));
    char16_t wide[9];
    EXPECT_EQ(wide + 8, CHttpEncoderW::_UrlEncodeW(wide, bytes));
    EXPECT_EQ(u"a+%FF%2D", std::u16string(wide));
}
