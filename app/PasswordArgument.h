#pragma once
// The guest's password arrives on the command line ("-psecret"), where every local user
// can read it in /proc/PID/cmdline for as long as the program runs. Once the options
// have been copied out of argv, the password's characters are overwritten in place: the
// kernel shows the argument area as it now is.

// Overwrites with NUL bytes whatever follows "-p" in every argument that starts with it.
void HidePasswordArguments(int argc, char** argv);
