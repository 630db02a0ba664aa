#include "platform/win32/WideText.h"

#include "platform/win32/WideCrt.h"

std::u16string_view TrimWhiteSpace(std::u16string_view text)
{
    while (!text.empty() && wcrt::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && wcrt::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string WideDecimal(std::int64_t number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}
