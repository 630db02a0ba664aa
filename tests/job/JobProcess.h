#pragma once
// zendrik2-job as a child process: its log lines (standard output), its window titles
// (standard error) and its exit status, read while it runs so that a test can act in
// the middle of a job.

#include "tests/support/ChildProcess.h"

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace jobtest {

struct JobResult {
    std::vector<std::string> lines;   // every log line, in order
    std::vector<std::string> titles;  // every window title shown, in order
    int exitStatus = -1;              // -1: it did not end in time and was killed

    std::vector<std::string> PlainLines() const;   // without the "Progress:" lines
    std::vector<int> ProgressPercents() const;     // the "Progress: N%" lines' N
    std::vector<std::string> PlainTitles() const;  // without the progress titles
    std::vector<std::string> ProgressTitles() const;
};

// Whether the runner is the Windows build's (under Wine) rather than this build's own.
bool RunsTheWindowsRunner();

// The title the unattended window shows for a status tag.
std::string Title(const std::string& tag);

class JobProcess {
public:
    // environment: the child's whole environment, "NAME=value".
    JobProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment);

    // Reads its output until a log line satisfies the predicate; false when the
    // deadline passes or the output ends first.
    bool WaitForLine(const std::function<bool(const std::string&)>& predicate, std::chrono::milliseconds timeout)
    {
        return process_.WaitForLine(predicate, timeout);
    }
    void Signal(int signal) const { process_.Signal(signal); }
    pid_t Pid() const { return process_.Pid(); }
    // Its command line as another program of the user reads it: /proc/PID/cmdline, or for
    // the Windows runner the process parameters of every running one, a line each.
    std::string CommandLineAsOthersReadIt() const;
    // Reads until it ends; kills it when the timeout passes first.
    JobResult Finish(std::chrono::milliseconds timeout);

private:
    testsupport::ChildProcess process_;
};

}  // namespace jobtest
