#pragma once
// The C runtime's wide-string functions for UTF-16 text (char16_t); the runtime's
// own wide functions take 32-bit characters here.

#include <cstddef>

namespace wcrt {

std::size_t wcslen(const char16_t* text);

// Case-insensitive compare that folds only 'A'..'Z' onto 'a'..'z', unit by unit,
// as the Windows runtime's _wcsicmp does in the C locale.
int wcsicmp(const char16_t* left, const char16_t* right);

// wcstoul: leading white space, an optional sign, digits of the base; *end points at
// the first unit not converted. Out-of-range values give ULONG_MAX.
unsigned long wcstoul(const char16_t* text, const char16_t** end, int base);

// The characters the platform classifies as wide white space.
bool iswspace(char16_t unit);

}  // namespace wcrt
