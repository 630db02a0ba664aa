#include "httpclient/HttpErrors.h"
#include "httpclient/HttpClientException.h"

#include "CaughtException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

using namespace Tavik;

namespace {

std::u16string Text(const char16_t* s) { return s ? std::u16string(s) : std::u16string(u"<null>"); }

}  // namespace

TEST(ErrorCatalogue, BandsAndFallbacks)
{
    EXPECT_EQ(Text(ErrorCodeTextW(503)), u"::InternetConnect failed.");
    EXPECT_EQ(Text(ErrorCodeTextW(115)), u"undefined normal error code");
    EXPECT_EQ(Text(ErrorCodeTextW(250)), u"undefined normal Win32 error code");
    EXPECT_EQ(Text(ErrorCodeTextW(200)), u"");
    EXPECT_EQ(Text(ErrorCodeTextW(42)), u"Not specified");
    EXPECT_EQ(Text(ErrorCodeTextW(1234)), u"user-defined error message");
    EXPECT_EQ(Text(ErrorCodeTextW(611)), u"undefined 32 error code");
    EXPECT_EQ(Text(ErrorCodeTextW(700)), u"::WideCharToMultiByte failed.");
    EXPECT_EQ(Text(ErrorCodeTextW(410)), u"::InternetSetOption failed.");
    EXPECT_EQ(Text(ErrorCodeTextW(411)), u"undefined WinInet error code");
    EXPECT_EQ(Text(ErrorCodeTextW(113)), u"An interger divide by zero exception has been occurred.");
    EXPECT_STREQ(ErrorCodeTextA(611), "undefined Win32 API error");
    EXPECT_STREQ(ErrorCodeTextA(499), "undefined WinInet error");
    EXPECT_STREQ(ErrorCodeTextA(102), "Out of memory.");
}

TEST(ThrowFunctions, ApiErrorFormatsThePathIntoTheTemplate)
{
    const auto e = Caught([] { ThrowHttpApiError(605, 5, u"/tmp/shot.jpg"); });
    EXPECT_EQ(Text(e.Message()), u"::GetFileSize failed (\"/tmp/shot.jpg\").");
    EXPECT_EQ(e.ErrorCode(), 605u);
    EXPECT_EQ(e.Win32Error(), 5u);

    const auto bare = Caught([] { ThrowHttpApiError(600, 87); });
    EXPECT_EQ(Text(bare.Message()), u"::WideCharToMultiByte failed.");
    EXPECT_EQ(bare.Win32Error(), 87u);
}

TEST(ThrowFunctions, OverlongFormattedMessageIsCutTo511Characters)
{
    const std::u16string path(600, u'x');
    const auto e = Caught([&] { ThrowHttpApiError(603, 2, path.c_str()); });
    const std::u16string message = e.Message();
    ASSERT_EQ(message.size(), 511u);
    EXPECT_EQ(message.substr(0, 26), u"OpenFile (::CreateFile) fa");
}

TEST(ThrowFunctions, CodesMessagesAndArithmetic)
{
    const auto code = Caught([] { ThrowHttpError(104); });
    EXPECT_EQ(Text(code.Message()), u"The post context is not started yet.");
    EXPECT_EQ(code.ErrorCode(), 104u);
    EXPECT_EQ(code.Win32Error(), 0u);

    const auto message = Caught([] { ThrowHttpMessage(u"CHttpClientT::MakeGetUrl: szBuff can not be NULL."); });
    EXPECT_EQ(message.ErrorCode(), 0u);
    EXPECT_EQ(Text(message.Message()), u"CHttpClientT::MakeGetUrl: szBuff can not be NULL.");

    EXPECT_EQ(Caught([] { ThrowHttpArithmeticError(ArithmeticFault::Overflow); }).ErrorCode(), 112u);
    EXPECT_EQ(Caught([] { ThrowHttpArithmeticError(ArithmeticFault::DivideByZero); }).ErrorCode(), 113u);
    EXPECT_EQ(Caught([] { ThrowHttpArithmeticError(ArithmeticFault::Other); }).ErrorCode(), 111u);

    const auto narrow =
        Caught([] { ThrowHttpNarrowMessage("CHttpToolW::EndRequest: hRequest can not be NULL.", 0, 0); });
    EXPECT_EQ(Text(narrow.Message()), u"CHttpToolW::EndRequest: hRequest can not be NULL.");
    const auto unconverted = Caught([] { ThrowHttpNarrowMessage(nullptr, 405, 12019); });
    EXPECT_EQ(Text(unconverted.Message()), u"NULL");
    EXPECT_EQ(unconverted.ErrorCode(), 405u);
    EXPECT_EQ(unconverted.Win32Error(), 12019u);
}

TEST(ExceptionObjects, WhatMessageAndCopies)
{
    httpclientexceptionW none;
    EXPECT_STREQ(none.what(), "httpclientexceptionW");
    EXPECT_EQ(Text(none.Message()), u"NULL");

    auto source = std::make_unique<httpclientexceptionW>(u"first", 402, 12029);
    httpclientexceptionW copy(*source);
    source.reset();
    EXPECT_EQ(Text(copy.Message()), u"first");
    EXPECT_EQ(copy.ErrorCode(), 402u);
    EXPECT_EQ(copy.Win32Error(), 12029u);
    EXPECT_STREQ(copy.what(), "httpclientexceptionW");

    copy.SetMessage(nullptr);
    EXPECT_EQ(Text(copy.Message()), u"NULL");

    httpclientexceptionA narrow("narrow text", 404, 6);
    EXPECT_STREQ(narrow.what(), "narrow text");
    httpclientexceptionA narrowCopy = narrow;
    narrow.SetMessage("changed");
    EXPECT_STREQ(narrowCopy.Message(), "narrow text");
}

TEST(WinInetErrorNames, KnownAndUnknownNumbers)
{
    auto name = [](DWORD n) {
        std::unique_ptr<char16_t, decltype(&std::free)> text(WinInetErrorName(n), &std::free);
        return Text(text.get());
    };
    EXPECT_EQ(name(12029), u"ERROR_INTERNET_CANNOT_CONNECT");
    EXPECT_EQ(name(12001), u"ERROR_INTERNET_OUT_OF_HANDLES");
    EXPECT_EQ(name(12036), u"ERROR_INTERNET_HANDLE_EXISTS");
    EXPECT_EQ(name(12111), u"ERROR_FTP_DROPPED");
    EXPECT_EQ(name(12156), u"ERROR_HTTP_REDIRECT_FAILED");
    EXPECT_EQ(name(12034), u"");
    EXPECT_EQ(name(12044), u"");
    EXPECT_EQ(name(5), u"");
}
