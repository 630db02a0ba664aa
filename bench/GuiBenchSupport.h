#pragma once
// What the window benchmarks share: the stand-in service started for them, the memory
// of a process with all its descendants, and medians.

#include "tests/gui/GuiHarness.h"

#include <string>
#include <vector>

namespace guibench {

std::string FileText(const std::string& path);

// The stand-in with the given options; its environment lines and admin address are read
// once it prints READY.
class Standin {
public:
    Standin(const std::string& dir, const std::vector<std::string>& options);

    const std::vector<std::string>& Environment() const { return env_; }
    std::string Variable(const std::string& name) const;
    std::string Admin(const std::string& method, const std::string& target) const;
    // A request of that kind has been received since the last reset.
    bool Has(const std::string& kind) const;
    // How many requests of that kind it has received so far.
    int Count(const std::string& kind) const;

private:
    std::string output_;
    guitest::ChildProcess process_;
    std::vector<std::string> env_;
    std::string admin_;
};

struct Memory {
    long rssKiB = 0;
    long pssKiB = 0;
    int processes = 0;
};

// Rss and Pss (smaps_rollup) summed over the process and all its descendants.
Memory TreeMemory(int root);
// A "Name:   N kB" field of a /proc status-like text; 0 when absent.
long FieldKiB(const std::string& text, const std::string& name);
// The process's own peak resident memory so far (VmHWM).
long PeakRssKiB(int pid);

double Median(std::vector<double> values);

}  // namespace guibench
