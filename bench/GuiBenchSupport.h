#pragma once
// What the window benchmarks share: the memory of a process with all its descendants,
// and medians.

#include "tests/gui/GuiHarness.h"

#include <string>
#include <vector>

namespace guibench {

std::string FileText(const std::string& path);

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
