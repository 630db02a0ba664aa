// zendrik2's start in unattended mode, under an Xvfb of its own, against the stand-in
// service: the time from starting the program to the login form filled, and the memory
// of the whole program (its browser processes included).
//
//   startup_bench [runs]            (default: 7)
//
// "Filled" is taken at the login browser's debug line for the completed login page,
// right after which it sets the two inputs; the stand-in's page, pressing its own
// button as soon as both hold a value (its --autosubmit without delay, polling every
// 100 ms), confirms it with the login request, whose arrival is the second figure.
// Memory is sampled every 100 ms over the whole shot (login, upload, logout): the sum
// of Rss and Pss (/proc/PID/smaps_rollup) over the program and its descendants, and the
// program's own peak (VmHWM).

#include "tests/gui/GuiHarness.h"

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace guitest;
using namespace std::chrono_literals;

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Standin {
public:
    explicit Standin(const std::string& dir)
        : output_(dir + "/standin.out"),
          process_({ZENDRIK_STANDIN_EXE, "--autosubmit", "--autosubmit-delay", "0"}, {}, output_)
    {
        for (int i = 0; i < 300 && FileText(output_).find("\nREADY\n") == std::string::npos; ++i)
            std::this_thread::sleep_for(100ms);
        std::istringstream lines(FileText(output_));
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("env "))
                env_.push_back(line.substr(4));
            else if (line.starts_with("admin "))
                admin_ = line.substr(6);
        }
        if (admin_.empty())
            throw std::runtime_error("the stand-in did not start");
    }

    const std::vector<std::string>& Environment() const { return env_; }
    std::string Admin(const std::string& method, const std::string& target) const
    {
        return CommandOutput({"curl", "-fsS", "-X", method, admin_ + target});
    }
    bool Has(const std::string& kind) const
    {
        return Admin("GET", "/_admin/received?kind=" + kind).find("\"seq\"") != std::string::npos;
    }

private:
    std::string output_;
    ChildProcess process_;
    std::vector<std::string> env_;
    std::string admin_;
};

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

long FieldKiB(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find("\n" + name + ":");
    if (at == std::string::npos)
        return 0;
    return std::atol(text.c_str() + at + name.size() + 2);
}

struct Memory {
    long rssKiB = 0;
    long pssKiB = 0;
    int processes = 0;
};

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

struct RunFigures {
    double filledSeconds = -1;
    double submittedSeconds = -1;
    Memory peak;
    long programPeakKiB = 0;
    bool uploaded = false;
};

RunFigures OneRun(const XServer& server, const Standin& standin, const std::string& dir, const std::string& photo)
{
    standin.Admin("POST", "/_admin/reset");
    std::vector<std::string> env = server.Environment();
    env.insert(env.end(), standin.Environment().begin(), standin.Environment().end());
    env.insert(env.end(), {"HOME=" + dir, "XDG_CONFIG_HOME=" + dir + "/config", "XDG_DATA_HOME=" + dir + "/data",
                           "XDG_CACHE_HOME=" + dir + "/cache", "ZENDRIK_DEBUG=1", "NO_AT_BRIDGE=1"});
    const std::string errors = dir + "/zendrik2.err";
    RunFigures figures;
    const Clock::time_point start = Clock::now();
    ChildProcess program({ZENDRIK_GUI_EXE, "-aBench", "-f" + photo, "-x100", "-y100", "-w800", "-h600",
                          "-uguest@example.com", "-psecret"},
                         env, "/dev/null", errors);
    auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    Clock::time_point nextSample = start;
    while (seconds() < 90 && program.Running()) {
        if (figures.filledSeconds < 0) {
            const std::string text = FileText(errors);
            const std::size_t at = text.find("OnDocumentComplete: https://");
            if (at != std::string::npos && text.find("/login.php?", at) != std::string::npos)
                figures.filledSeconds = seconds();
        }
        if (figures.filledSeconds >= 0 && figures.submittedSeconds < 0 && standin.Has("login"))
            figures.submittedSeconds = seconds();
        if (Clock::now() >= nextSample) {
            const Memory now = TreeMemory(program.Pid());
            figures.peak.rssKiB = std::max(figures.peak.rssKiB, now.rssKiB);
            figures.peak.pssKiB = std::max(figures.peak.pssKiB, now.pssKiB);
            figures.peak.processes = std::max(figures.peak.processes, now.processes);
            figures.programPeakKiB = FieldKiB("\n" + FileText("/proc/" + std::to_string(program.Pid()) + "/status"),
                                              "VmHWM");
            nextSample += 100ms;
        }
        if (figures.submittedSeconds >= 0 && standin.Has("logout")) {
            figures.uploaded = standin.Has("photo");
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    program.Signal(SIGTERM);
    program.WaitForExit(30s);
    return figures;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    char pattern[] = "/tmp/zendrik2-startup-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string photo = dir + "/shot.jpg";
    std::ofstream(photo, std::ios::binary) << std::string("\xFF\xD8\xFF\xE0", 4) << std::string(200000, 'x');

    int status = 0;
    {
        XServer server;
        Standin standin(dir);
        std::vector<double> filled, submitted;
        Memory peak;
        long programPeak = 0;
        std::printf("run  filled s  submitted s  tree RSS MiB  tree PSS MiB  processes  zendrik2 VmHWM MiB\n");
        for (int run = 1; run <= runs; ++run) {
            const RunFigures figures = OneRun(server, standin, dir, photo);
            std::printf("%3d  %8.3f  %11.3f  %12.1f  %12.1f  %9d  %18.1f%s\n", run, figures.filledSeconds,
                        figures.submittedSeconds, figures.peak.rssKiB / 1024.0, figures.peak.pssKiB / 1024.0,
                        figures.peak.processes, figures.programPeakKiB / 1024.0,
                        figures.uploaded ? "" : "  (no upload)");
            if (figures.filledSeconds < 0 || !figures.uploaded) {
                status = 1;
                continue;
            }
            filled.push_back(figures.filledSeconds);
            submitted.push_back(figures.submittedSeconds);
            peak.rssKiB = std::max(peak.rssKiB, figures.peak.rssKiB);
            peak.pssKiB = std::max(peak.pssKiB, figures.peak.pssKiB);
            programPeak = std::max(programPeak, figures.programPeakKiB);
        }
        if (!filled.empty()) {
            std::printf("\nstart to login form filled: median %.3f s over %zu runs (target < 1.0 s)\n",
                        Median(filled), filled.size());
            std::printf("start to form submitted by the page: median %.3f s\n", Median(submitted));
            std::printf("peak of the whole program (zendrik2 and its browser processes): RSS %.1f MiB, "
                        "PSS %.1f MiB (target < 320 MB PSS)\n",
                        peak.rssKiB / 1024.0, peak.pssKiB / 1024.0);
            std::printf("peak RSS of the zendrik2 process itself: %.1f MiB\n", programPeak / 1024.0);
        }
    }
    std::filesystem::remove_all(dir);
    return status;
}
