#pragma once
// The guest's password arrives on the command line ("-psecret"), where every local user
// can read it (/proc/PID/cmdline on Linux; on Windows the command line in the process's
// parameters, which any program of the user reads) for as long as the program runs. Once
// the options have been copied out of argv, the password's characters are overwritten in
// place: other programs then read the command line as it now is.

// Overwrites with NUL bytes whatever follows "-p" in every argument that starts with it.
// On Windows, the password's characters also become spaces in the command line the
// system keeps for the process: the process parameters' and GetCommandLineW's and
// GetCommandLineA's buffers.
void HidePasswordArguments(int argc, char** argv);
