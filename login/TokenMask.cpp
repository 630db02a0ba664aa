#include "login/TokenMask.h"

#include <array>

namespace {

constexpr std::u16string_view kMask = u"***";

char16_t Lower(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

// Length of `pattern` matched at `at` without case, or 0.
std::size_t MatchAt(std::u16string_view text, std::size_t at, std::u16string_view pattern)
{
    if (text.size() - at < pattern.size())
        return 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (Lower(text[at + i]) != pattern[i])
            return 0;
    }
    return pattern.size();
}

// The parameter's name and its '=' at `at`, plain or percent-encoded: their length, or 0.
std::size_t KeyAt(std::u16string_view text, std::size_t at)
{
    static constexpr std::array<std::u16string_view, 2> names{u"access_token", u"access%5ftoken"};
    static constexpr std::array<std::u16string_view, 2> equals{u"=", u"%3d"};
    for (std::u16string_view name : names) {
        const std::size_t nameLength = MatchAt(text, at, name);
        if (nameLength == 0)
            continue;
        for (std::u16string_view sign : equals) {
            if (const std::size_t signLength = MatchAt(text, at + nameLength, sign))
                return nameLength + signLength;
        }
    }
    return 0;
}

// The login captures a token up to the next '&' and nothing else, so the mask may end
// nowhere earlier: a ';', '#', blank, quote or an encoded "%26" can be inside a captured
// token. An encoded parameter's value thus runs on to the outer '&' too, which masks more
// than its own value but never prints a character of a token that begins inside it.
bool EndsValue(std::u16string_view text, std::size_t at) { return text[at] == u'&'; }

}  // namespace

std::u16string MaskAccessTokens(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t key = KeyAt(text, at);
        if (key == 0) {
            out.push_back(text[at++]);
            continue;
        }
        out.append(text.substr(at, key));
        at += key;
        const std::size_t valueStart = at;
        while (at < text.size() && !EndsValue(text, at))
            ++at;
        if (at > valueStart)
            out.append(kMask);
    }
    return out;
}
