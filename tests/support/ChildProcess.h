#pragma once
// A child process for the tests and the benchmarks: started with its command line, an
// environment and its standard streams, in a process group of its own, and killed with
// that group (and waited for) on destruction if it still runs. Output taken through a pipe is read into
// lines, with a deadline, so that a caller can wait for a line such as "READY".

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Where a standard output of the child goes: a file (created or emptied), this
// process's own stream, or a pipe read through ChildProcess.
struct ChildOutput {
    enum class Kind { File, Inherit, Pipe };
    Kind kind = Kind::File;
    std::string path = "/dev/null";

    static ChildOutput File(std::string path) { return {Kind::File, std::move(path)}; }
    static ChildOutput Inherit() { return {Kind::Inherit, {}}; }
    static ChildOutput Pipe() { return {Kind::Pipe, {}}; }
};

struct ChildSetup {
    std::vector<std::string> env = {};  // "NAME=value": added to, or replacing, this process's own
    bool wholeEnvironment = false;      // env is all the child gets
    bool inputPipe = false;             // standard input from a pipe, closed by CloseInput()
    ChildOutput out = {};
    ChildOutput err = {};
};

class ChildProcess {
public:
    // argv[0] is searched on PATH.
    explicit ChildProcess(const std::vector<std::string>& argv, const ChildSetup& setup = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    void Signal(int signal) const;
    bool Running();
    // The exit status (or 128 + the signal) once it has ended within the time.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    // SIGTERM, then the exit status; the group is killed when the time passes first.
    std::optional<int> Stop(std::chrono::milliseconds timeout);
    // SIGKILL to its group while it runs, and the wait for it.
    void Kill();
    // Its peak resident memory, once it has ended.
    long PeakRssKiB() const { return usage_.ru_maxrss; }

    void CloseInput();
    int OutFd() const { return out_.fd; }
    // The lines read so far from piped outputs; a last one without its line end counts
    // once the output has ended.
    const std::vector<std::string>& OutLines() const { return out_.lines; }
    const std::vector<std::string>& ErrLines() const { return err_.lines; }
    // Reads standard output until a line satisfies the predicate, looking from the one an
    // earlier call stopped at; false when the deadline passes or the output ends first.
    bool WaitForLine(const std::function<bool(const std::string&)>& predicate, std::chrono::milliseconds timeout);
    // Reads the piped outputs to their end, at most until the deadline.
    void ReadToEnd(std::chrono::steady_clock::time_point deadline);

private:
    struct Pipe {
        int fd = -1;
        std::string pending;
        std::vector<std::string> lines;
        void Drain();
    };
    // One round of reading, at most until the deadline; false once every output ended.
    bool ReadSome(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    int pidFd_ = -1;
    int input_ = -1;
    Pipe out_;
    Pipe err_;
    std::size_t linesSeen_ = 0;
    std::optional<int> status_;
    rusage usage_{};
};

// Runs a command to its end (within a minute); its standard output.
std::string CommandOutput(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});

}  // namespace testsupport
