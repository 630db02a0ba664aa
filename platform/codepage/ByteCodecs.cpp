#include "platform/codepage/ByteCodecs.h"

#include <cstdint>

namespace codepage {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Windows' table for 0x80-0x9F; its five unassigned bytes map to the C1 controls.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void PutUtf8(char32_t cp, UnitSink<char>& sink)
{
    if (cp < 0x80) {
        sink.Put(static_cast<char>(cp));
    } else if (cp < 0x800) {
        sink.Put(static_cast<char>(0xC0 | (cp >> 6)));
        sink.Put(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        sink.Put(static_cast<char>(0xE0 | (cp >> 12)));
        sink.Put(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        sink.Put(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        sink.Put(static_cast<char>(0xF0 | (cp >> 18)));
        sink.Put(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        sink.Put(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        sink.Put(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void PutUtf16(char32_t cp, UnitSink<char16_t>& sink)
{
    if (cp < 0x10000) {
        sink.Put(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    sink.Put(static_cast<char16_t>(0xD800 + (cp >> 10)));
    sink.Put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// The byte of `unit` in the charset, or -1.
int SingleByteOf(CharsetKind kind, char16_t unit)
{
    if (unit < 0x80)
        return unit;
    if (kind == CharsetKind::Ascii)
        return -1;
    if (kind == CharsetKind::Latin1)
        return unit < 0x100 ? unit : -1;
    if (unit >= 0xA0 && unit < 0x100)
        return unit;
    for (int i = 0; i < 32; ++i) {
        if (kWindows1252High[i] == unit)
            return 0x80 + i;
    }
    return -1;
}

// Lead-byte table of well-formed UTF-8: how many continuation bytes follow and the
// range the first of them must lie in (which excludes overlong forms, surrogates and
// code points above U+10FFFF).
struct Utf8Lead {
    int continuation;  // -1: the byte cannot start a character
    unsigned char firstLow;
    unsigned char firstHigh;
};

Utf8Lead LeadOf(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return {1, 0x80, 0xBF};
    if (b == 0xE0)
        return {2, 0xA0, 0xBF};
    if (b == 0xED)
        return {2, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {2, 0x80, 0xBF};
    if (b == 0xF0)
        return {3, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {3, 0x80, 0xBF};
    if (b == 0xF4)
        return {3, 0x80, 0x8F};
    return {-1, 0, 0};
}

}  // namespace

void EncodeUtf8(std::u16string_view text, UnitSink<char>& sink)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            sink.Put(static_cast<char>(unit));
        } else if (IsHighSurrogate(unit) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
            PutUtf8(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00), sink);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            PutUtf8(kReplacement, sink);
            sink.NoteReplacement();
        } else {
            PutUtf8(unit, sink);
        }
    }
}

void DecodeUtf8(std::string_view bytes, UnitSink<char16_t>& sink)
{
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            sink.Put(lead);
            ++i;
            continue;
        }
        const Utf8Lead shape = LeadOf(lead);
        if (shape.continuation < 0) {
            sink.Put(kReplacement);
            sink.NoteReplacement();
            ++i;
            continue;
        }
        char32_t cp = lead & (0x3F >> shape.continuation);
        std::size_t j = i + 1;
        bool complete = true;
        for (int k = 0; k < shape.continuation; ++k, ++j) {
            const unsigned char low = k == 0 ? shape.firstLow : 0x80;
            const unsigned char high = k == 0 ? shape.firstHigh : 0xBF;
            if (j >= n || static_cast<unsigned char>(bytes[j]) < low || static_cast<unsigned char>(bytes[j]) > high) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(bytes[j]) & 0x3F);
        }
        if (!complete) {
            sink.Put(kReplacement);
            sink.NoteReplacement();
        } else {
            PutUtf16(cp, sink);
        }
        i = j;
    }
}

void EncodeSingleByte(CharsetKind kind, std::u16string_view text, std::string_view defaultChar, UnitSink<char>& sink)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int byte = SingleByteOf(kind, text[i]);
        if (byte >= 0) {
            sink.Put(static_cast<char>(byte));
            continue;
        }
        // A surrogate pair is one character and gets one default character.
        if (IsHighSurrogate(text[i]) && i + 1 < n && IsLowSurrogate(text[i + 1]))
            ++i;
        sink.Put(defaultChar.data(), defaultChar.size());
        sink.NoteReplacement();
    }
}

void DecodeSingleByte(CharsetKind kind, std::string_view bytes, UnitSink<char16_t>& sink)
{
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            sink.Put(byte);
        } else if (kind == CharsetKind::Ascii) {
            sink.Put(kReplacement);
            sink.NoteReplacement();
        } else if (kind == CharsetKind::Windows1252 && byte < 0xA0) {
            sink.Put(kWindows1252High[byte - 0x80]);
        } else {
            sink.Put(byte);
        }
    }
}

void EncodeUtf16(bool bigEndian, std::u16string_view text, UnitSink<char>& sink)
{
    for (const char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        sink.Put(bigEndian ? high : low);
        sink.Put(bigEndian ? low : high);
    }
}

void DecodeUtf16(bool bigEndian, std::string_view bytes, UnitSink<char16_t>& sink)
{
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        sink.Put(static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    if (i < bytes.size()) {
        sink.Put(kReplacement);
        sink.NoteReplacement();
    }
}

}  // namespace codepage
