#pragma once
// The byte forms of the client's wide texts: plain conversion into a code page or
// UTF-8, and URL encoding. Each conversion has a length function (output units without
// the terminator) and a fill function; the caller allocates length + 1 units.

#include "platform/win32/Win32Types.h"

namespace Tavik {

class CHttpEncoderW {
public:
    CHttpEncoderW() = delete;

    static DWORD AnsiEncodeLen(const char16_t* szStr, UINT CodePage);
    static LPSTR AnsiEncode(LPSTR szBuff, const char16_t* szStr, UINT CodePage);
    static DWORD Utf8EncodeLen(const char16_t* szStr);
    static LPSTR Utf8Encode(LPSTR szBuff, const char16_t* szStr);

    // Each UTF-16 unit is converted on its own (UTF-8 when bUtf8, else CodePage) and its
    // bytes encoded: letters and digits as they are, the blank as "+", any other byte
    // as "%XX".
    static DWORD UrlEncodeLen(const char16_t* szStr, bool bUtf8, UINT CodePage);
    static LPSTR UrlEncodeA(LPSTR szBuff, const char16_t* szStr, bool bUtf8, UINT CodePage);
    static char16_t* UrlEncodeW(char16_t* szBuff, const char16_t* szStr, bool bUtf8, UINT CodePage);

    // The same rule over a NUL-terminated byte string.
    static DWORD _UrlEncodeLen(LPCSTR szStr);
    // Write the encoded bytes and a terminator at `out`; return the terminator's address.
    static LPSTR _UrlEncodeA(LPSTR out, LPCSTR szStr);
    static char16_t* _UrlEncodeW(char16_t* out, LPCSTR szStr);
};

}  // namespace Tavik
