#pragma once
// The program's version as the window title shows it ("v2.4.4").

#include <cstdint>
#include <string>

// Empty until the main dialog initialises.
extern std::u16string VersionText;

struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
};

// The version the build recorded in the program.
FileVersion ProgramFileVersion();

// "v%d.%d.%d.%d"; without the revision when it is 0, and then without the build when
// that is 0 too.
std::u16string FormatVersionText(const FileVersion& version);

// Sets VersionText from the program's own version.
void WorkOutVersionText();
