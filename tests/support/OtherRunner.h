#pragma once
// Another build's program in place of this build's own, as ZENDRIK_JOB_RUNNER (the
// runner) or ZENDRIK_GUI_RUNNER (the window) names it: its words separated by ';'
// (scripts/test-windows.sh: "wine;build-win/bin/zendrik2-job.exe"), for the job suite and
// the job benchmark, and for the window suite.

#include <string>
#include <vector>

namespace testsupport {

// The command that starts the program: the variable's words, or ownProgram alone.
std::vector<std::string> RunnerCommand(const std::string& ownProgram, const char* variable = "ZENDRIK_JOB_RUNNER");

// Wine's internet library checks a certificate's DNS names only, never its IP address:
// the Windows runner reaches the stand-in by name (the test certificate holds both).
// The "NAME=127.0.0.1:PORT" entry with localhost in place of the address.
std::string HostsByName(std::string entry);

}  // namespace testsupport
