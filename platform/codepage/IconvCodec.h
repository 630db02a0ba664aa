#pragma once
// The code pages not done by hand, through iconv. Each thread keeps its own open
// converters, since an iconv descriptor holds state and may serve one thread only.

#include "platform/codepage/UnitSink.h"

#include <string>
#include <string_view>

namespace codepage {

// A character the charset cannot hold, or a lone surrogate, becomes defaultChar.
// False when iconv does not know the charset.
bool IconvEncode(const std::string& charset, std::u16string_view text, std::string_view defaultChar,
                 UnitSink<char>& sink);

// Bytes that are not well formed become U+FFFD. False when iconv does not know the charset.
bool IconvDecode(const std::string& charset, std::string_view bytes, UnitSink<char16_t>& sink);

}  // namespace codepage
