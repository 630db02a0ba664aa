#pragma once
// Windows: the program's arguments from the command line the system keeps for the
// process, in UTF-16 as it holds them. argv has them in the ANSI code page, where a
// character the page lacks ("写真" on a western system) becomes '?'. Read them before
// BlankOptionValuesInProcessCommandLine blanks the password in that line.

#include <string>
#include <vector>

// Split as CommandLineToArgvW splits; without the program's name.
std::vector<std::u16string> ProcessArguments();
