#pragma once
// Small helpers on wide text that every room needs and the C library gives only for
// narrow text.

#include <cstdint>
#include <string>
#include <string_view>

// Without the white space (wcrt::iswspace) at both ends.
std::u16string_view TrimWhiteSpace(std::u16string_view text);

// The number in decimal, a '-' before a negative one: the "%d" of the log lines.
std::u16string WideDecimal(std::int64_t number);
