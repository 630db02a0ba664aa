#include "social/JsonStringToWide.h"

#include <cstddef>

namespace social {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::u16string JsonStringToWide(const Json::Value& value)
{
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!value.isString() || !value.getString(&begin, &end))
        return {};
    const auto* bytes = reinterpret_cast<const unsigned char*>(begin);
    const std::size_t size = static_cast<std::size_t>(end - begin);
    std::u16string text;
    text.reserve(size);
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        const std::size_t remaining = size - i - 1;
        if (lead < 0x80) {
            text.push_back(lead);
            i += 1;
        } else if ((lead & 0xE0) == 0xC0) {
            // A sequence cut off by the end of the string yields nothing.
            if (remaining >= 1 && IsContinuation(bytes[i + 1]))
                text.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | (bytes[i + 1] & 0x3F)));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0) {
            // The two bytes after the lead are taken whatever they are, as long as the
            // string holds them.
            if (remaining >= 2)
                text.push_back(static_cast<char16_t>(((lead & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) |
                                                     (bytes[i + 2] & 0x3F)));
            i += 3;
        } else {
            i += 1;
        }
    }
    return text;
}

}  // namespace social
