#include "GuiBenchSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace guibench {

namespace {

std::map<int, int> ParentsOfAllProcesses()
{
    std::map<int, int> parents;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0])))
            continue;
        const std::string stat = FileText(entry.path() / "stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(stat.substr(close + 2));
        char state = 0;
        int parent = 0;
        rest >> state >> parent;
        parents[std::stoi(name)] = parent;
    }
    return parents;
}

std::set<int> Tree(int root)
{
    const std::map<int, int> parents = ParentsOfAllProcesses();
    std::set<int> tree{root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [pid, parent] : parents) {
            if (tree.count(parent) != 0 && tree.insert(pid).second)
                grew = true;
        }
    }
    return tree;
}

}  // namespace

// Streaming the buffer, unlike reading it through iterators, takes a failed read (the
// /proc files of a process that has just ended) as the end of the text.
std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

long FieldKiB(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find("\n" + name + ":");
    if (at == std::string::npos)
        return 0;
    return std::atol(text.c_str() + at + name.size() + 2);
}

long PeakRssKiB(int pid) { return FieldKiB("\n" + FileText("/proc/" + std::to_string(pid) + "/status"), "VmHWM"); }

Memory TreeMemory(int root)
{
    Memory memory;
    for (int pid : Tree(root)) {
        const std::string rollup = "\n" + FileText("/proc/" + std::to_string(pid) + "/smaps_rollup");
        memory.rssKiB += FieldKiB(rollup, "Rss");
        memory.pssKiB += FieldKiB(rollup, "Pss");
        ++memory.processes;
    }
    return memory;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace guibench
