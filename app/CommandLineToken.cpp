#include "app/CommandLineToken.h"

#include "platform/win32/WideText.h"

std::u16string NextCommandLineToken(std::u16string& remainder)
{
    remainder = TrimWhiteSpace(remainder);
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
