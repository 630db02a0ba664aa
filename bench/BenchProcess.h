#pragma once
// Child processes for the benchmarks: a command timed from start to exit with its peak
// resident memory, and the discard server started beside it, so that neither the
// server's nor the benchmark's own memory is counted with the measured client's.

#include "tests/support/ChildProcess.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

struct RunFigures {
    double wallSeconds = 0;
    long peakRssKiB = 0;
    int exitStatus = -1;
};

// Runs argv[0] (searched on PATH) with the extra environment entries ("NAME=value"),
// its standard output to /dev/null.
RunFigures RunTimed(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {},
                    const testsupport::ChildOutput& errors = testsupport::ChildOutput::Inherit());

// The runs of a measured program and of curl, alternating, reported by their medians so
// that one disturbed run on a shared machine moves neither figure.
class PairedRuns {
public:
    void Add(const RunFigures& measured, const RunFigures& curl);
    double MeasuredMedian() const { return Median(measured_); }
    double CurlMedian() const { return Median(curl_); }
    long PeakRssKiB() const { return peakRssKiB_; }

private:
    static double Median(std::vector<double> values);

    std::vector<double> measured_;
    std::vector<double> curl_;
    long peakRssKiB_ = 0;
};

// The measured command and curl, alternating for the rounds; nothing (after a line that
// says which failed) when either exits unsuccessfully.
std::optional<PairedRuns> Alternate(int rounds, std::uint64_t mebibytes, const std::string& name,
                                    const std::function<RunFigures()>& measured, const std::vector<std::string>& curl);

class DiscardServer {
public:
    explicit DiscardServer(const std::string& executable);
    ~DiscardServer();  // closes its standard input, which ends it
    DiscardServer(const DiscardServer&) = delete;
    DiscardServer& operator=(const DiscardServer&) = delete;
    std::uint16_t Port() const { return port_; }

private:
    testsupport::ChildProcess process_;
    std::uint16_t port_ = 0;
};

// The upload sizes named on the command line, in MiB (64 and 256 when none is named).
std::vector<std::uint64_t> SizesInMiB(int argc, char** argv);
// Unsets the proxy variables: only the stand-in on this machine is talked to.
void ForgetProxies();

// A file of the given size with non-repeating content, removed on destruction.
class ScratchFile {
public:
    ScratchFile(const std::string& name, std::uint64_t bytes);
    ~ScratchFile();
    const std::string& Path() const { return path_; }

private:
    std::string dir_;
    std::string path_;
};

}  // namespace bench
