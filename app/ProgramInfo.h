#pragma once
// "--help" and "--version" for zendrik2 and zendrik2-job. The programs' own options
// are a dash, a letter and a glued value ("-h600"), so a whole first argument that
// reads exactly "--help" or "--version" never appears on a host's command line.

enum class InfoRequest { None, Help, Version };
enum class InfoProgram { Window, Job };

InfoRequest InfoRequestOf(int argc, const char* const* argv);

// Prints the help or the version line on standard output; returns the exit status.
int PrintProgramInfo(InfoRequest request, InfoProgram program);
