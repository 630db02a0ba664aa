#pragma once
// The program's UTF-16 text and the toolkit's strings.

#include "platform/win32/Utf.h"

#include <wx/string.h>

#include <string>

inline wxString ToWx(const std::u16string& text) { return wxString::FromUTF8(Utf16ToUtf8(text)); }

inline std::u16string FromWx(const wxString& text)
{
    const wxScopedCharBuffer bytes = text.utf8_str();
    return Utf8ToUtf16(std::string_view(bytes.data(), bytes.length()));
}
