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
//
// Each run is preceded by the baseline: bare_webview, a wx window with a WebKitGTK view
// and nothing else, from its start to its one local page loaded; the ratio of the
// medians is printed. zendrik2 draws its pages without GPU compositing, which WebKit's
// defaults use; the baseline runs both ways, and the ratio to each is printed.

#include "GuiBenchSupport.h"
#include "tests/support/StandinProcess.h"

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

using guibench::FileText;
using guibench::Median;
using guibench::Memory;
using guibench::TreeMemory;
using testsupport::StandinProcess;

// The program's debug lines that mark the start-up's steps, in order; the last is
// "filled".
struct Step {
    const char* label;
    const char* line;
};
constexpr Step kSteps[] = {
    {"browser's first event (about:blank)", "OnBeforeNavigate: about:blank"},
    {"login address requested", "OnBeforeNavigate: https://"},
    {"redirected to the login page", "/login.php?"},
    {"login page complete, form filled", "OnDocumentComplete: https://"},
};
constexpr std::size_t kStepCount = std::size(kSteps);

// Seconds from start to each step's line, -1 for a step not seen (yet).
std::vector<double> StepTimes(const std::string& text, const std::vector<double>& known, double now)
{
    std::vector<double> times = known;
    std::size_t from = 0;
    for (std::size_t i = 0; i < kStepCount; ++i) {
        const std::size_t at = text.find(kSteps[i].line, from);
        if (at == std::string::npos)
            break;
        if (times[i] < 0)
            times[i] = now;
        from = at;
    }
    return times;
}

struct RunFigures {
    std::vector<double> stepSeconds = std::vector<double>(kStepCount, -1.0);
    double filledSeconds = -1;
    double submittedSeconds = -1;
    Memory peak;
    long programPeakKiB = 0;
    bool uploaded = false;
};

RunFigures OneRun(const XServer& server, const StandinProcess& standin, const std::string& dir,
                  const std::string& photo)
{
    standin.Reset();
    std::vector<std::string> env = server.Environment();
    env.insert(env.end(), standin.Environment().begin(), standin.Environment().end());
    env.insert(env.end(), {"HOME=" + dir, "XDG_CONFIG_HOME=" + dir + "/config", "XDG_DATA_HOME=" + dir + "/data",
                           "XDG_CACHE_HOME=" + dir + "/cache", "ZENDRIK_DEBUG=1", "NO_AT_BRIDGE=1"});
    const std::string errors = dir + "/zendrik2.err";
    RunFigures figures;
    const Clock::time_point start = Clock::now();
    ChildProcess program({ZENDRIK_GUI_EXE, "-aBench", "-f" + photo, "-x100", "-y100", "-w800", "-h600",
                          "-uguest@example.com", "-psecret"},
                         {.env = env, .err = ChildOutput::File(errors)});
    auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    Clock::time_point nextSample = start;
    while (seconds() < 90 && program.Running()) {
        if (figures.filledSeconds < 0) {
            figures.stepSeconds = StepTimes(FileText(errors), figures.stepSeconds, seconds());
            figures.filledSeconds = figures.stepSeconds.back();
        }
        if (figures.filledSeconds >= 0 && figures.submittedSeconds < 0 && !standin.Received("login").empty())
            figures.submittedSeconds = seconds();
        if (Clock::now() >= nextSample) {
            const Memory now = TreeMemory(program.Pid());
            figures.peak.rssKiB = std::max(figures.peak.rssKiB, now.rssKiB);
            figures.peak.pssKiB = std::max(figures.peak.pssKiB, now.pssKiB);
            figures.peak.processes = std::max(figures.peak.processes, now.processes);
            figures.programPeakKiB = guibench::PeakRssKiB(program.Pid());
            nextSample += 100ms;
        }
        if (figures.submittedSeconds >= 0 && !standin.Received("logout").empty()) {
            figures.uploaded = !standin.Received("photo").empty();
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    program.Signal(SIGTERM);
    program.WaitForExit(30s);
    return figures;
}

// The bare baseline: exec to its "loaded" line, the same way the program's figure is taken.
double BareRun(const XServer& server, const std::string& dir, const std::string& page, bool compositing)
{
    std::vector<std::string> env = server.Environment();
    env.insert(env.end(), {"HOME=" + dir, "XDG_CONFIG_HOME=" + dir + "/config", "XDG_DATA_HOME=" + dir + "/data",
                           "XDG_CACHE_HOME=" + dir + "/cache", "NO_AT_BRIDGE=1"});
    if (!compositing)
        env.push_back("WEBKIT_DISABLE_COMPOSITING_MODE=1");
    const std::string errors = dir + "/bare.err";
    const Clock::time_point start = Clock::now();
    ChildProcess program({ZENDRIK_BARE_WEBVIEW_EXE, page}, {.env = env, .err = ChildOutput::File(errors)});
    double loaded = -1;
    while (loaded < 0 && program.Running() && Clock::now() - start < 60s) {
        if (FileText(errors).find("loaded\n") != std::string::npos)
            loaded = std::chrono::duration<double>(Clock::now() - start).count();
        else
            std::this_thread::sleep_for(5ms);
    }
    if (!program.WaitForExit(10s))
        program.Signal(SIGKILL);
    return loaded;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    char pattern[] = "/tmp/zendrik2-startup-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string photo = dir + "/shot.jpg";
    std::ofstream(photo, std::ios::binary) << std::string("\xFF\xD8\xFF\xE0", 4) << std::string(200000, 'x');
    const std::string page = dir + "/page.html";
    std::ofstream(page) << "<html><body><form><input name=email><input name=pass type=password>"
                           "<button>Log in</button></form></body></html>\n";

    int status = 0;
    {
        XServer server;
        StandinProcess standin({"--autosubmit", "--autosubmit-delay", "0"});
        std::vector<double> filled, submitted, bare, bareFlat;
        std::vector<std::vector<double>> steps(kStepCount);
        Memory peak;
        long programPeak = 0;
        std::printf(
            "run  bare loaded s  bare flat s  filled s  submitted s  tree RSS MiB  tree PSS MiB  processes  zendrik2 "
            "VmHWM MiB\n");
        for (int run = 1; run <= runs; ++run) {
            const double bareSeconds = BareRun(server, dir, page, true);
            if (bareSeconds >= 0)
                bare.push_back(bareSeconds);
            const double flatSeconds = BareRun(server, dir, page, false);
            if (flatSeconds >= 0)
                bareFlat.push_back(flatSeconds);
            const RunFigures figures = OneRun(server, standin, dir, photo);
            std::printf("%3d  %13.3f  %11.3f  %8.3f  %11.3f  %12.1f  %12.1f  %9d  %18.1f%s\n", run, bareSeconds,
                        flatSeconds, figures.filledSeconds, figures.submittedSeconds, figures.peak.rssKiB / 1024.0,
                        figures.peak.pssKiB / 1024.0, figures.peak.processes, figures.programPeakKiB / 1024.0,
                        figures.uploaded ? "" : "  (no upload)");
            if (figures.filledSeconds < 0 || !figures.uploaded) {
                status = 1;
                continue;
            }
            filled.push_back(figures.filledSeconds);
            for (std::size_t i = 0; i < kStepCount; ++i)
                steps[i].push_back(figures.stepSeconds[i]);
            submitted.push_back(figures.submittedSeconds);
            peak.rssKiB = std::max(peak.rssKiB, figures.peak.rssKiB);
            peak.pssKiB = std::max(peak.pssKiB, figures.peak.pssKiB);
            programPeak = std::max(programPeak, figures.programPeakKiB);
        }
        if (!filled.empty()) {
            std::printf("\nstart to login form filled: median %.3f s over %zu runs\n", Median(filled), filled.size());
            if (!bare.empty())
                std::printf("bare wx + WebKitGTK window, start to its local page loaded: median %.3f s; "
                            "ratio %.2f (target <= 1.2)\n",
                            Median(bare), Median(filled) / Median(bare));
            if (!bareFlat.empty())
                std::printf("the same without compositing, as zendrik2 draws: median %.3f s; ratio %.2f\n",
                            Median(bareFlat), Median(filled) / Median(bareFlat));
            std::printf("where the time goes (medians from the start):\n");
            for (std::size_t i = 0; i < kStepCount; ++i)
                std::printf("  %-40s %.3f s\n", kSteps[i].label, Median(steps[i]));
            std::printf("start to form submitted by the page: median %.3f s\n", Median(submitted));
            std::printf("peak of the whole program (zendrik2 and its browser processes): RSS %.1f MiB, "
                        "PSS %.1f MiB (target <= 300 MB PSS)\n",
                        peak.rssKiB / 1024.0, peak.pssKiB / 1024.0);
            std::printf("peak RSS of the zendrik2 process itself: %.1f MiB\n", programPeak / 1024.0);
        }
    }
    std::filesystem::remove_all(dir);
    return status;
}
