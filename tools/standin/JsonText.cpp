#include "tools/standin/JsonText.h"

#include <cstdint>
#include <cstdio>

namespace standin {

namespace {

void AppendUnit(std::string& out, std::uint32_t unit)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(unit));
    out += buffer;
}

void AppendCodePoint(std::string& out, std::uint32_t cp)
{
    if (cp < 0x10000) {
        AppendUnit(out, cp);
        return;
    }
    cp -= 0x10000;
    AppendUnit(out, 0xD800 + (cp >> 10));
    AppendUnit(out, 0xDC00 + (cp & 0x3FF));
}

// Length of the UTF-8 sequence starting at s[i] and its code point; 0 when malformed.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, std::uint32_t& cp)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead >= 0xF5 || i + length > s.size())
        return 0;
    cp = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    return length;
}

}  // namespace

std::string JsonQuote(std::string_view utf8)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x80) {
            std::uint32_t cp = 0xFFFD;
            const std::size_t length = DecodeUtf8(utf8, i, cp);
            AppendCodePoint(out, length ? cp : 0xFFFD);
            i += length ? length : 1;
            continue;
        }
        ++i;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '/': out += "\\/"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20)
                AppendUnit(out, c);
            else
                out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

JsonObjectText& JsonObjectText::Add(std::string_view key, std::string_view value)
{
    return AddRaw(key, JsonQuote(value));
}

JsonObjectText& JsonObjectText::AddNumber(std::string_view key, long long value)
{
    return AddRaw(key, std::to_string(value));
}

JsonObjectText& JsonObjectText::AddBool(std::string_view key, bool value)
{
    return AddRaw(key, value ? "true" : "false");
}

JsonObjectText& JsonObjectText::AddRaw(std::string_view key, std::string_view json)
{
    if (!members_.empty())
        members_ += ',';
    members_ += JsonQuote(key);
    members_ += ':';
    members_ += json;
    return *this;
}

std::string JsonObjectText::Text() const { return "{" + members_ + "}"; }

}  // namespace standin
