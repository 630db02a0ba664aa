#pragma once
// Conventions shared by the exported calls: texts in, the failure protocol out.

#include "platform/win32/LastError.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Types.h"
#include "platform/wininet/WinInet.h"

#include <cstring>
#include <string>
#include <string_view>

namespace wininet {

inline std::string NarrowText(LPCWSTR text)
{
    return text == nullptr ? std::string() : Utf16ToUtf8(std::u16string_view(text));
}

// A wide text of `length` characters, or up to its terminator when length is all ones.
inline std::string NarrowText(LPCWSTR text, DWORD length)
{
    if (text == nullptr) {
        return std::string();
    }
    if (length == static_cast<DWORD>(-1)) {
        return NarrowText(text);
    }
    return Utf16ToUtf8(std::u16string_view(text, length));
}

inline std::string_view AnsiText(LPCSTR text, DWORD length)
{
    if (text == nullptr) {
        return {};
    }
    return length == static_cast<DWORD>(-1) ? std::string_view(text) : std::string_view(text, length);
}

inline BOOL FailWith(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

inline HINTERNET FailHandle(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

// 0 is success; anything else becomes the thread's last error.
inline BOOL Outcome(DWORD error) { return error == ERROR_SUCCESS ? TRUE : FailWith(error); }

}  // namespace wininet
