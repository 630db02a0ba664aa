#pragma once
// Windows: the command line the system keeps for the process, which other programs read
// (the process parameters' buffer, and GetCommandLineW's and GetCommandLineA's). In every
// argument that starts with "-" and the option, what follows becomes spaces, so that a
// secret given there is gone while the rest of the line still splits as it did.

void BlankOptionValuesInProcessCommandLine(char option);
