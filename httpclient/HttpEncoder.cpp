#include "httpclient/HttpEncoder.h"

#include "httpclient/CheckedArithmetic.h"
#include "httpclient/HttpErrors.h"
#include "platform/codepage/CodePage.h"

namespace Tavik {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsUtfCodePage(UINT CodePage) { return CodePage == CP_UTF8 || CodePage == CP_UTF7; }

bool IsEmpty(LPCWSTR szStr) { return szStr == nullptr || szStr[0] == u'\0'; }

bool IsUnreserved(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9');
}

// The whole text with its terminator; 0 throws 600.
DWORD ConvertWhole(UINT CodePage, LPCWSTR szStr, LPSTR szBuff, int cbBuff)
{
    const int cb = WideCharToMultiByte(CodePage, 0, szStr, -1, szBuff, cbBuff, nullptr, nullptr);
    if (cb == 0)
        ThrowHttpApiError(HttpError::WideCharToMultiByte, GetLastError());
    return static_cast<DWORD>(cb);
}

// The fill counterpart of an encode-length function that already counted szStr.
LPSTR FillWhole(UINT CodePage, LPSTR szBuff, LPCWSTR szStr, DWORD cbLength)
{
    // cbLength came from an int result less its terminator, so the size fits an int.
    const DWORD cbBuff = CheckedAdd(cbLength, 1);
    ConvertWhole(CodePage, szStr, szBuff, static_cast<int>(cbBuff));
    return szBuff;
}

// The bytes of one UTF-16 unit, NUL-terminated in `scratch`; a lone surrogate is
// rendered as the conversion renders it.
void ConvertUnit(UINT CodePage, char16_t unit, char (&scratch)[7])
{
    const char16_t pair[2] = {unit, u'\0'};
    if (WideCharToMultiByte(CodePage, 0, pair, 2, scratch, sizeof scratch, nullptr, nullptr) == 0)
        ThrowHttpApiError(HttpError::WideCharToMultiByte, GetLastError());
}

UINT UrlCodePage(bool bUtf8, UINT CodePage) { return bUtf8 ? CP_UTF8 : CodePage; }

template <typename Char>
Char* EncodeBytes(Char* out, LPCSTR szStr)
{
    if (szStr != nullptr) {
        for (const char* p = szStr; *p != '\0'; ++p) {
            const auto byte = static_cast<unsigned char>(*p);
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
    }
    *out = static_cast<Char>('\0');
    return out;
}

template <typename Char>
Char* UrlEncodeInto(Char* szBuff, LPCWSTR szStr, bool bUtf8, UINT CodePage)
{
    szBuff[0] = static_cast<Char>('\0');
    if (IsEmpty(szStr))
        return szBuff;
    const UINT cp = UrlCodePage(bUtf8, CodePage);
    Char* end = szBuff;
    for (LPCWSTR p = szStr; *p != u'\0'; ++p) {
        char scratch[7];
        ConvertUnit(cp, *p, scratch);
        end = EncodeBytes(end, scratch);
    }
    return szBuff;
}

}  // namespace

DWORD CHttpEncoderW::AnsiEncodeLen(LPCWSTR szStr, UINT CodePage)
{
    if (IsUtfCodePage(CodePage))
        ThrowHttpMessage(u"CHttpEncoderW::AnsiEncodeLen: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
    if (IsEmpty(szStr))
        return 0;
    return ConvertWhole(CodePage, szStr, nullptr, 0) - 1;
}

LPSTR CHttpEncoderW::AnsiEncode(LPSTR szBuff, LPCWSTR szStr, UINT CodePage)
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

DWORD CHttpEncoderW::Utf8EncodeLen(LPCWSTR szStr)
{
    if (IsEmpty(szStr))
        return 0;
    return ConvertWhole(CP_UTF8, szStr, nullptr, 0) - 1;
}

LPSTR CHttpEncoderW::Utf8Encode(LPSTR szBuff, LPCWSTR szStr)
{
    if (szBuff == nullptr)
        ThrowHttpMessage(u"CHttpEncoderW::Utf8Encode: szBuff can not be NULL.");
    szBuff[0] = '\0';
    if (IsEmpty(szStr))
        return szBuff;
    return FillWhole(CP_UTF8, szBuff, szStr, Utf8EncodeLen(szStr));
}

DWORD CHttpEncoderW::UrlEncodeLen(LPCWSTR szStr, bool bUtf8, UINT CodePage)
{
    if (IsEmpty(szStr))
        return 0;
    const UINT cp = UrlCodePage(bUtf8, CodePage);
    DWORD cchEncoded = 0;
    for (LPCWSTR p = szStr; *p != u'\0'; ++p) {
        char scratch[7];
        ConvertUnit(cp, *p, scratch);
        cchEncoded = CheckedAdd(cchEncoded, _UrlEncodeLen(scratch));
    }
    return cchEncoded;
}

LPSTR CHttpEncoderW::UrlEncodeA(LPSTR szBuff, LPCWSTR szStr, bool bUtf8, UINT CodePage)
{
    if (szBuff == nullptr)
        ThrowHttpMessage(u"CHttpEncoderW::UrlEncodeA: szBuff can not be NULL.");
    return UrlEncodeInto(szBuff, szStr, bUtf8, CodePage);
}

LPWSTR CHttpEncoderW::UrlEncodeW(LPWSTR szBuff, LPCWSTR szStr, bool bUtf8, UINT CodePage)
{
    if (szBuff == nullptr)
        ThrowHttpMessage(u"CHttpEncoderW::UrlEncodeW: szBuff can not be NULL.");
    return UrlEncodeInto(szBuff, szStr, bUtf8, CodePage);
}

DWORD CHttpEncoderW::_UrlEncodeLen(LPCSTR szStr)
{
    if (szStr == nullptr)
        ThrowHttpMessage(u"_UrlEncodeLen: szStr can not be NULL.");
    DWORD cchEncoded = 0;
    for (const char* p = szStr; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        cchEncoded = CheckedAdd(cchEncoded, IsUnreserved(byte) || byte == ' ' ? 1 : 3);
    }
    return cchEncoded;
}

LPSTR CHttpEncoderW::_UrlEncodeA(LPSTR out, LPCSTR szStr) { return EncodeBytes(out, szStr); }

LPWSTR CHttpEncoderW::_UrlEncodeW(LPWSTR out, LPCSTR szStr) { return EncodeBytes(out, szStr); }

}  // namespace Tavik
