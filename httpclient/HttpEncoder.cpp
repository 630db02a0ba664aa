#include "httpclient/HttpEncoder.h"

#include "httpclient/CheckedArithmetic.h"
#include "httpclient/HttpErrors.h"
#include "platform/codepage/CodePage.h"

#include <string_view>

namespace Tavik {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsUtfCodePage(UINT CodePage) { return CodePage == CP_UTF8 || CodePage == CP_UTF7; }

bool IsEmpty(const char16_t* szStr) { return szStr == nullptr || szStr[0] == u'\0'; }

bool IsUnreserved(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9');
}

// The whole text with its terminator; 0 throws 600.
DWORD ConvertWhole(UINT CodePage, const char16_t* szStr, LPSTR szBuff, int cbBuff)
{
    const int cb = WideCharToMultiByte(CodePage, 0, szStr, -1, szBuff, cbBuff, nullptr, nullptr);
    if (cb == 0)
        ThrowHttpApiError(HttpError::WideCharToMultiByteFailed, GetLastError());
    return static_cast<DWORD>(cb);
}

// The fill counterpart of an encode-length function that already counted szStr.
LPSTR FillWhole(UINT CodePage, LPSTR szBuff, const char16_t* szStr, DWORD cbLength)
{
    // cbLength came from an int result less its terminator, so the size fits an int.
    const DWORD cbBuff = CheckedAdd(cbLength, 1);
    ConvertWhole(CodePage, szStr, szBuff, static_cast<int>(cbBuff));
    return szBuff;
}

// Room for the longest form of one unit: four bytes of GB18030, or UTF-7's "+AAA-".
using UnitBytes = char[16];

// The bytes of one UTF-16 unit, as many as the conversion reports: a stateful code page
// (UTF-7) may write more than the unit's own bytes, and a UTF-16 one writes zero bytes,
// so nothing here relies on a terminator. A lone surrogate is rendered as the
// conversion renders it.
std::string_view ConvertUnit(UINT CodePage, char16_t unit, UnitBytes& scratch)
{
    const int cb = WideCharToMultiByte(CodePage, 0, &unit, 1, scratch, sizeof scratch, nullptr, nullptr);
    if (cb == 0)
        ThrowHttpApiError(HttpError::WideCharToMultiByteFailed, GetLastError());
    return {scratch, static_cast<std::size_t>(cb)};
}

UINT UrlCodePage(bool bUtf8, UINT CodePage) { return bUtf8 ? CP_UTF8 : CodePage; }

DWORD EncodedLength(std::string_view bytes)
{
    DWORD cchEncoded = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        cchEncoded = CheckedAdd(cchEncoded, IsUnreserved(byte) || byte == ' ' ? 1 : 3);
    }
    return cchEncoded;
}

// Every byte is encoded, a zero byte too ("%00"): with the UTF-16 code pages each ASCII
// character is a zero byte and the character's own, and dropping the zero would leave
// a text that no reader of that code page can decode.
template <typename Char>
Char* EncodeBytes(Char* out, std::string_view bytes)
{
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            *out++ = static_cast<Char>(byte);
        } else if (byte == ' ') {
            *out++ = static_cast<Char>('+');
        } else {
            *out++ = static_cast<Char>('%');
            *out++ = static_cast<Char>(kHexDigits[byte >> 4]);
            *out++ = static_cast<Char>(kHexDigits[byte & 0x0F]);
        }
    }
    *out = static_cast<Char>('\0');
    return out;
}

std::string_view BytesOf(LPCSTR szStr) { return szStr == nullptr ? std::string_view() : std::string_view(szStr); }

template <typename Char>
Char* UrlEncodeInto(Char* szBuff, const char16_t* szStr, bool bUtf8, UINT CodePage)
{
    szBuff[0] = static_cast<Char>('\0');
    if (IsEmpty(szStr))
        return szBuff;
    const UINT cp = UrlCodePage(bUtf8, CodePage);
    Char* end = szBuff;
    for (const char16_t* p = szStr; *p != u'\0'; ++p) {
        UnitBytes scratch;
        end = EncodeBytes(end, ConvertUnit(cp, *p, scratch));
    }
    return szBuff;
}

}  // namespace

DWORD CHttpEncoderW::AnsiEncodeLen(const char16_t* szStr, UINT CodePage)
{
    if (IsUtfCodePage(CodePage))
        ThrowHttpMessage(
            u"CHttpEncoderW::AnsiEncodeLen: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
    if (IsEmpty(szStr))
        return 0;
    return ConvertWhole(CodePage, szStr, nullptr, 0) - 1;
}

LPSTR CHttpEncoderW::AnsiEncode(LPSTR szBuff, const char16_t* szStr, UINT CodePage)
{
    if (IsUtfCodePage(CodePage))
        ThrowHttpMessage(u"CHttpEncoderW::AnsiEncode: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
    if (szBuff == nullptr)
        ThrowHttpMessage(u"CHttpEncoderW::AnsiEncode: szBuff can not be NULL.");
    szBuff[0] = '\0';
    if (IsEmpty(szStr))
        return szBuff;
    return FillWhole(CodePage, szBuff, szStr, AnsiEncodeLen(szStr, CodePage));
}

DWORD CHttpEncoderW::Utf8EncodeLen(const char16_t* szStr)
{
    if (IsEmpty(szStr))
        return 0;
    return ConvertWhole(CP_UTF8, szStr, nullptr, 0) - 1;
}

LPSTR CHttpEncoderW::Utf8Encode(LPSTR szBuff, const char16_t* szStr)
{
    if (szBuff == nullptr)
        ThrowHttpMessage(u"CHttpEncoderW::Utf8Encode: szBuff can not be NULL.");
    szBuff[0] = '\0';
    if (IsEmpty(szStr))
        return szBuff;
    return FillWhole(CP_UTF8, szBuff, szStr, Utf8EncodeLen(szStr));
}

DWORD CHttpEncoderW::UrlEncodeLen(const char16_t* szStr, bool bUtf8, UINT CodePage)
{
    if (IsEmpty(szStr))
        return 0;
    const UINT cp = UrlCodePage(bUtf8, CodePage);
    DWORD cchEncoded = 0;
    for (const char16_t* p = szStr; *p != u'\0'; ++p) {
        UnitBytes scratch;
        cchEncoded = CheckedAdd(cchEncoded, EncodedLength(ConvertUnit(cp, *p, scratch)));
    }
    return cchEncoded;
}

LPSTR CHttpEncoderW::UrlEncodeA(LPSTR szBuff, const char16_t* szStr, bool bUtf8, UINT CodePage)
{
    if (szBuff == nullptr)
        ThrowHttpMessage(u"CHttpEncoderW::UrlEncodeA: szBuff can not be NULL.");
    return UrlEncodeInto(szBuff, szStr, bUtf8, CodePage);
}

char16_t* CHttpEncoderW::UrlEncodeW(char16_t* szBuff, const char16_t* szStr, bool bUtf8, UINT CodePage)
{
    if (szBuff == nullptr)
        ThrowHttpMessage(u"CHttpEncoderW::UrlEncodeW: szBuff can not be NULL.");
    return UrlEncodeInto(szBuff, szStr, bUtf8, CodePage);
}

DWORD CHttpEncoderW::_UrlEncodeLen(LPCSTR szStr)
{
    if (szStr == nullptr)
        ThrowHttpMessage(u"_UrlEncodeLen: szStr can not be NULL.");
    return EncodedLength(szStr);
}

LPSTR CHttpEncoderW::_UrlEncodeA(LPSTR out, LPCSTR szStr) { return EncodeBytes(out, BytesOf(szStr)); }

char16_t* CHttpEncoderW::_UrlEncodeW(char16_t* out, LPCSTR szStr) { return EncodeBytes(out, BytesOf(szStr)); }

}  // namespace Tavik
