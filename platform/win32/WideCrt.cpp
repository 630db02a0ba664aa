#include "platform/win32/WideCrt.h"

#include <climits>

namespace wcrt {

std::size_t wcslen(const char16_t* text)
{
    std::size_t n = 0;
    while (text[n] != u'\0')
        ++n;
    return n;
}

static char16_t FoldAsciiUpper(char16_t unit)
{
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

int wcsicmp(const char16_t* left, const char16_t* right)
{
    for (;; ++left, ++right) {
        const char16_t a = FoldAsciiUpper(*left);
        const char16_t b = FoldAsciiUpper(*right);
        if (a != b)
            return a < b ? -1 : 1;
        if (a == u'\0')
            return 0;
    }
}

bool iswspace(char16_t unit)
{
    switch (unit) {
    case u' ':
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case u'\u0085':
    case u'\u00A0':
    case u'\u1680':
    case u'\u2028':
    case u'\u2029':
    case u'\u202F':
    case u'\u205F':
    case u'\u3000': return true;
    default: return unit >= u'\u2000' && unit <= u'\u200A';
    }
}

static int DigitValue(char16_t unit)
{
    if (unit >= u'0' && unit <= u'9')
        return unit - u'0';
    if (unit >= u'a' && unit <= u'z')
        return unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'Z')
        return unit - u'A' + 10;
    return 99;
}

unsigned long wcstoul(const char16_t* text, const char16_t** end, int base)
{
    const char16_t* p = text;
    while (iswspace(*p))
        ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') {
        negative = *p == u'-';
        ++p;
    }
    const char16_t* digitsStart = p;
    unsigned long value = 0;
    bool overflow = false;
    for (int d; (d = DigitValue(*p)) < base; ++p) {
        if (value > (ULONG_MAX - static_cast<unsigned long>(d)) / static_cast<unsigned long>(base))
            overflow = true;
        else
            value = value * static_cast<unsigned long>(base) + static_cast<unsigned long>(d);
    }
    if (p == digitsStart) {
        if (end)
            *end = text;
        return 0;
    }
    if (end)
        *end = p;
    if (overflow)
        return ULONG_MAX;
    return negative ? static_cast<unsigned long>(0) - value : value;
}

}  // namespace wcrt
