#include "platform/codepage/CodePage.h"

#include "tests/support/Backend.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <thread>

namespace {

// The whole conversion through the length query and a buffer of exactly that length.
std::string ToBytes(UINT codePage, const std::u16string& text, BOOL* usedDefault = nullptr)
{
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, usedDefault);
    EXPECT_GT(needed, 0) << "last error " << GetLastError();
    std::string out(static_cast<std::size_t>(needed), '\0');
    EXPECT_EQ(needed, WideCharToMultiByte(codePage, 0, text.data(), length, out.data(), needed, nullptr, usedDefault));
    return out;
}

std::u16string ToWide(UINT codePage, const std::string& bytes)
{
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    EXPECT_GT(needed, 0) << "last error " << GetLastError();
    std::u16string out(static_cast<std::size_t>(needed), u'\0');
    EXPECT_EQ(needed, MultiByteToWideChar(codePage, 0, bytes.data(), length, out.data(), needed));
    return out;
}

// Sets the process locale for one test and puts the previous one back.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : m_previous(std::setlocale(LC_ALL, nullptr))
    {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    bool Ok() const { return m_ok; }

private:
    std::string m_previous;
    bool m_ok = false;
};

}  // namespace

TEST(CodePageLengths, MinusOneCountsTheTerminatorAndZeroSizeAsksForTheLength)
{
    EXPECT_EQ(4, WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9", -1, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(3, WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9", 2, nullptr, 0, nullptr, nullptr));
    char out[4];
    ASSERT_EQ(4, WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9", -1, out, 4, nullptr, nullptr));
    EXPECT_EQ(std::string("a\xC3\xA9\0", 4), std::string(out, 4));

    EXPECT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "a\xC3\xA9", -1, nullptr, 0));
    char16_t wide[3];
    ASSERT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "a\xC3\xA9", -1, wide, 3));
    EXPECT_EQ(std::u16string(u"a\u00E9", 3), std::u16string(wide, 3));
}

TEST(CodePageLengths, TooSmallOutputFailsWithInsufficientBuffer)
{
    char out[3];
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9", -1, out, 3, nullptr, nullptr));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    char16_t wide[1];
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(1252, 0, "ab", -1, wide, 1));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
}

TEST(CodePageLengths, BadArgumentsAndUnknownPagesAreInvalidParameters)
{
    SKIP_ON_WINDOWS("Wine leaves ERROR_FILE_NOT_FOUND for an unknown code page (it looks for a table file)");
    char out[8];
    const struct {
        UINT codePage;
        const char16_t* text;
        int length;
        char* output;
        int size;
    } cases[] = {
        {12345, u"x", -1, out, 8},   {CP_UTF8, nullptr, -1, out, 8},  {CP_UTF8, u"x", 0, out, 8},
        {CP_UTF8, u"x", -2, out, 8}, {CP_UTF8, u"x", -1, nullptr, 8}, {CP_UTF8, u"x", -1, out, -1},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(0, WideCharToMultiByte(c.codePage, 0, c.text, c.length, c.output, c.size, nullptr, nullptr));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    }
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(4242, 0, "x", -1, nullptr, 0));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());

    BOOL used = FALSE;
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, u"x", -1, out, 8, nullptr, &used));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST(CodePageUtf8, SurrogatePairsAndLoneSurrogates)
{
    EXPECT_EQ("\xF0\x9D\x84\x9E", ToBytes(CP_UTF8, u"\U0001D11E"));
    EXPECT_EQ("\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC", ToBytes(CP_UTF8, u"\u20AC\u20AC\u20AC"));
    EXPECT_EQ("a\xEF\xBF\xBD"
              "b",
              ToBytes(CP_UTF8, std::u16string{u'a', char16_t(0xD800), u'b'}));
    EXPECT_EQ("\xEF\xBF\xBD", ToBytes(CP_UTF8, std::u16string{char16_t(0xDC00)}));
    // A high surrogate cut off by the end of the input.
    EXPECT_EQ("\xEF\xBF\xBD", ToBytes(CP_UTF8, std::u16string{char16_t(0xD834)}));
}

TEST(CodePageUtf8, MalformedBytesBecomeReplacementCharacters)
{
    SKIP_ON_WINDOWS("Wine gives one U+FFFD per ill-formed sequence (ED A0 80: two, F4 90 80: one)");
    EXPECT_EQ(u"\U0001D11E", ToWide(CP_UTF8, "\xF0\x9D\x84\x9E"));
    EXPECT_EQ(u"\uFFFDA", ToWide(CP_UTF8, "\xC3"
                                          "A"));
    EXPECT_EQ(u"\uFFFD\uFFFD", ToWide(CP_UTF8, "\xC0\xAF"));            // overlong '/'
    EXPECT_EQ(u"\uFFFD\uFFFD\uFFFD", ToWide(CP_UTF8, "\xED\xA0\x80"));  // an encoded surrogate
    EXPECT_EQ(u"\uFFFD", ToWide(CP_UTF8, "\xE2\x82"));                  // a cut-off sequence
    EXPECT_EQ(u"\uFFFD\uFFFD\uFFFD", ToWide(CP_UTF8, "\xF4\x90\x80"));  // above U+10FFFF
    EXPECT_EQ(u"x\uFFFD", ToWide(CP_UTF8, "x\xFF"));
}

TEST(CodePageWindows1252, FollowsWindowsTableIncludingItsHoles)
{
    EXPECT_EQ("\x80\xE9\x9F", ToBytes(1252, u"\u20AC\u00E9\u0178"));
    EXPECT_EQ(u"\u20AC\u0081\u00E9\u0178", ToWide(1252, "\x80\x81\xE9\x9F"));
    EXPECT_EQ("\x81", ToBytes(1252, u"\u0081"));
}

TEST(CodePageDefaultCharacter, UnrepresentableCharactersBecomeQuestionMarks)
{
    SKIP_ON_WINDOWS(
        "without WC_NO_BEST_FIT_CHARS Windows maps to a look-alike (U+0100 to 'A', U+00E9 to 'e' in 20127)");
    BOOL used = FALSE;
    EXPECT_EQ("a?b", ToBytes(1252, u"a\u0100b", &used));
    EXPECT_TRUE(used);
    EXPECT_EQ("ab", ToBytes(1252, u"ab", &used));
    EXPECT_FALSE(used);
    // A lone surrogate outside UTF-8, and a whole pair that the page lacks.
    EXPECT_EQ("?", ToBytes(1252, std::u16string{char16_t(0xD800)}));
    EXPECT_EQ("?", ToBytes(1252, u"\U0001D11E"));
    EXPECT_EQ("?", ToBytes(20127, u"\u00E9"));
    EXPECT_EQ("?", ToBytes(932, u"\u00E9"));
    EXPECT_EQ("x?", ToBytes(1251, std::u16string{u'x', char16_t(0xDFFF)}));

    char out[4];
    ASSERT_EQ(2, WideCharToMultiByte(1252, 0, u"\u0100", -1, out, 4, "*", &used));
    EXPECT_EQ('*', out[0]);
    EXPECT_TRUE(used);
}

TEST(CodePageIconv, WindowsAndIsoPagesByNumber)
{
    SKIP_ON_WINDOWS("Wine's prefix has no tables for some of these pages (the length asked is 0)");
    EXPECT_EQ("\xCF\xF0\xE8\xE2\xE5\xF2", ToBytes(1251, u"\u041F\u0440\u0438\u0432\u0435\u0442"));
    EXPECT_EQ(u"\u041F\u0440\u0438\u0432\u0435\u0442", ToWide(1251, "\xCF\xF0\xE8\xE2\xE5\xF2"));
    EXPECT_EQ("\x93\xFA\x96\x7B", ToBytes(932, u"\u65E5\u672C"));
    EXPECT_EQ(u"\u65E5\u672C", ToWide(932, "\x93\xFA\x96\x7B"));
    EXPECT_EQ("\xF0", ToBytes(20866, u"\u041F"));
    EXPECT_EQ("\xA4", ToBytes(28605, u"\u20AC"));
    EXPECT_EQ("\xE9", ToBytes(28591, u"\u00E9"));
    EXPECT_EQ(u"\U0001D11E", ToWide(54936, ToBytes(54936, u"\U0001D11E")));
}

TEST(CodePageIconv, MalformedMultiByteInputBecomesReplacementCharacters)
{
    SKIP_ON_WINDOWS("a cut-off lead byte of 932 becomes U+30FB, and 20127 strips the high bit (0xE9 to 'i')");
    EXPECT_EQ(u"a\uFFFD", ToWide(932, "a\x93"));  // a lead byte cut off by the end
    EXPECT_EQ(u"\uFFFDz", ToWide(20127, "\xE9z"));
}

TEST(CodePageUtf16AndUtf7, ByteOrdersAndRoundTrip)
{
    SKIP_ON_WINDOWS("WideCharToMultiByte has no 1200/1201 (UTF-16) pages, only managed code does");
    EXPECT_EQ(std::string("A\0\xAC\x20", 4), ToBytes(1200, u"A\u20AC"));
    EXPECT_EQ(std::string("\0A\x20\xAC", 4), ToBytes(1201, u"A\u20AC"));
    EXPECT_EQ(u"A\u20AC", ToWide(1200, std::string("A\0\xAC\x20", 4)));
    EXPECT_EQ(u"A\uFFFD", ToWide(1201, std::string("\0A\x20", 3)));

    const std::u16string text = u"Hi \u00E9t\u00E9 + \u20AC!";
    const std::string utf7 = ToBytes(CP_UTF7, text);
    EXPECT_EQ(std::string::npos, utf7.find_first_of("\x80\xFF"));
    EXPECT_EQ(text, ToWide(CP_UTF7, utf7));
}

TEST(CodePageAnsi, FollowsTheProcessLocale)
{
    SKIP_ON_WINDOWS("CP_ACP is the system's ANSI page, not the C runtime's locale");
    {
        ScopedLocale locale("C.UTF-8");
        ASSERT_TRUE(locale.Ok());
        EXPECT_EQ("\xC3\xA9", ToBytes(CP_ACP, u"\u00E9"));
        EXPECT_EQ(u"\u00E9", ToWide(CP_ACP, "\xC3\xA9"));
    }
    {
        ScopedLocale locale("C");
        ASSERT_TRUE(locale.Ok());
        EXPECT_EQ("?", ToBytes(CP_ACP, u"\u00E9"));
        EXPECT_EQ("plain", ToBytes(CP_ACP, u"plain"));
    }
}

TEST(CodePageThreads, EachThreadConvertsOnItsOwn)
{
    std::string results[2];
    std::thread first([&] { results[0] = ToBytes(1251, u"\u041F"); });
    std::thread second([&] { results[1] = ToBytes(932, u"\u65E5"); });
    first.join();
    second.join();
    EXPECT_EQ("\xCF", results[0]);
    EXPECT_EQ("\x93\xFA", results[1]);
}
