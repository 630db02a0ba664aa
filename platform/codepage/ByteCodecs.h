#pragma once
// The converters done by hand: UTF-8, ASCII, ISO-8859-1, Windows-1252 and UTF-16.
// Each reads a whole input and writes to a sink; none fails.

#include "platform/codepage/Charset.h"
#include "platform/codepage/UnitSink.h"

#include <string_view>

namespace codepage {

// Lone surrogates become U+FFFD (EF BF BD).
void EncodeUtf8(std::u16string_view text, UnitSink<char>& sink);
// Every maximal ill-formed subsequence becomes one U+FFFD.
void DecodeUtf8(std::string_view bytes, UnitSink<char16_t>& sink);

// kind is Ascii, Latin1 or Windows1252; a character outside it becomes defaultChar.
void EncodeSingleByte(CharsetKind kind, std::u16string_view text, std::string_view defaultChar, UnitSink<char>& sink);
void DecodeSingleByte(CharsetKind kind, std::string_view bytes, UnitSink<char16_t>& sink);

void EncodeUtf16(bool bigEndian, std::u16string_view text, UnitSink<char>& sink);
// A trailing odd byte becomes U+FFFD.
void DecodeUtf16(bool bigEndian, std::string_view bytes, UnitSink<char16_t>& sink);

}  // namespace codepage
