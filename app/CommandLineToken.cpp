#include "app/CommandLineToken.h"

#include "platform/win32/WideCrt.h"

namespace {

void TrimBothEnds(std::u16string& text)
{
    std::size_t end = text.size();
    while (end > 0 && wcrt::iswspace(text[end - 1]))
        --end;
    std::size_t begin = 0;
    while (begin < end && wcrt::iswspace(text[begin]))
        ++begin;
    text = text.substr(begin, end - begin);
}

}  // namespace

std::u16string NextCommandLineToken(std::u16string& remainder)
{
    TrimBothEnds(remainder);
    std::u16string token;
    bool inQuotes = false;
    std::size_t i = 0;
    for (; i < remainder.size(); ++i) {
        const char16_t unit = remainder[i];
        if (unit == u'"') {
            inQuotes = !inQuotes;
        } else if (unit == u'\\' && i + 1 < remainder.size() && remainder[i + 1] == u'"') {
            token += u'"';
            ++i;
        } else if (unit == u' ' && !inQuotes) {
            break;  // the space stays; the next call trims it
        } else {
            token += unit;
        }
    }
    remainder.erase(0, i);
    return token;
}
