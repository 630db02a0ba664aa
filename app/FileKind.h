#pragma once
// Which branch of the job a file takes, by its extension alone. A path may come from a
// Windows host program, so both '\' and '/' separate its components.

#include <string_view>

// The last component's text after its last dot; empty when it has no dot.
std::u16string_view FileExtension(std::u16string_view path);

bool IsVideoFile(std::u16string_view path);
bool IsGifFile(std::u16string_view path);
