#pragma once
// Which converter serves a Windows code-page number: the common ones are done by hand,
// the rest by iconv under the charset name glibc knows them by.

#include "platform/win32/Win32Types.h"

#include <string>

namespace codepage {

enum class CharsetKind { Utf8, Ascii, Latin1, Windows1252, Utf16LE, Utf16BE, Iconv };

struct Charset {
    CharsetKind kind = CharsetKind::Iconv;
    std::string iconvName;        // for CharsetKind::Iconv
    bool asciiCompatible = true;  // bytes 0x00-0x7F are ASCII both ways
};

// CP_ACP and CP_OEMCP are the calling thread's locale charset. False for an unknown page.
bool ResolveCharset(UINT codePage, Charset& charset);

}  // namespace codepage
