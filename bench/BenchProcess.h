#pragma once
// Child processes for the benchmarks: a command timed from start to exit with its peak
// resident memory, and the discard server started beside it, so that neither the
// server's nor the benchmark's own memory is counted with the measured client's.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct RunFigures {
    double wallSeconds = 0;
    long peakRssKiB = 0;
    int exitStatus = -1;
};

// Runs argv[0] (searched on PATH) with the extra environment entries ("NAME=value").
RunFigures RunTimed(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {},
                    bool quiet = true);

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

class DiscardServer {
public:
    explicit DiscardServer(const std::string& executable);
    ~DiscardServer();  // closes its standard input, which ends it
    DiscardServer(const DiscardServer&) = delete;
    DiscardServer& operator=(const DiscardServer&) = delete;
    std::uint16_t Port() const { return port_; }

private:
    pid_t pid_ = -1;
    int stdinFd_ = -1;
    std::uint16_t port_ = 0;
};

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
