#pragma once
// The program's UTF-16 file name as the standard library's path. On Windows the units
// go across as they are: a path made from narrow text takes it in the ANSI code page,
// which loses every character the page lacks. Elsewhere the name becomes UTF-8, as the
// file calls' names do.

#include <filesystem>
#include <string_view>

std::filesystem::path FileSystemPath(std::u16string_view fileName);
