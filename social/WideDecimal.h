#pragma once
// A number in decimal as wide text, for the "%d" of the log lines.

#include <cstdint>
#include <string>

namespace social {

inline std::u16string WideDecimal(std::int64_t number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace social
