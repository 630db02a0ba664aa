#pragma once
// UTF-16 <-> UTF-8 for the places where the platform speaks bytes (file names,
// addresses handed to the network library). Lone surrogates and malformed bytes
// become U+FFFD, as Windows' converters do.

#include <string>
#include <string_view>

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
