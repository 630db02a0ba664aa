#include "app/BrowseFilter.h"

namespace {

bool IsAsciiLetter(char16_t unit) { return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z'); }

void AppendBothCases(std::u16string& out, char16_t letter)
{
    const char16_t lower = letter >= u'a' ? letter : static_cast<char16_t>(letter - u'A' + u'a');
    out.push_back(u'[');
    out.push_back(lower);
    out.push_back(static_cast<char16_t>(lower - u'a' + u'A'));
    out.push_back(u']');
}

}  // namespace

std::u16string CaseInsensitiveFilter(std::u16string_view filter)
{
    std::u16string out;
    out.reserve(filter.size() * 2);
    bool inPattern = false;  // fields alternate: description, pattern, description...
    for (const char16_t unit : filter) {
        if (unit == u'|') {
            inPattern = !inPattern;
            out.push_back(unit);
        } else if (inPattern && IsAsciiLetter(unit)) {
            AppendBothCases(out, unit);
        } else {
            out.push_back(unit);
        }
    }
    return out;
}
