#pragma once
// The command line's options and the run mode they fix, as the main dialog's
// constructor takes them. Each option is two characters glued to its value: the token
// -aParty sets the album to Party, -a alone sets it empty; the later of two wins and a
// token that is no option is ignored.

#include "app/UploadJob.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct CommandLineOptions {
    UploadJob job;
    // Unattended when "-y" is not 0 and both "-u" and "-p" are not empty.
    bool interactive = true;
    // The login starts at once in unattended mode; later stages clear it.
    bool loginPending = false;

    // A Windows-style argument string (what follows the program path), cut with
    // NextCommandLineToken.
    static CommandLineOptions FromCommandLine(std::u16string_view arguments);
    // Arguments already split, as this platform delivers them: each is one token,
    // blanks included.
    static CommandLineOptions FromArguments(const std::vector<std::u16string>& arguments);
};

// One token against the option table.
void ApplyCommandLineToken(UploadJob& job, std::u16string_view token);

// "-x", "-y", "-w", "-h": leading white space, an optional sign, decimal digits up to
// the first other character; no digits give 0, and a value beyond 32 bits gives the
// nearest limit.
std::int32_t CommandLineInteger(std::u16string_view value);

// argv[1..] as UTF-16 (the bytes are taken as UTF-8).
std::vector<std::u16string> ArgumentsFromArgv(int argc, const char* const* argv);

// The program's arguments as main gets them, in UTF-16. On Windows they come from the
// system's wide command line instead, since argv there holds them in the ANSI code page.
// Taken before HidePasswordArguments blanks the password in both.
std::vector<std::u16string> ProgramArguments(int argc, const char* const* argv);
