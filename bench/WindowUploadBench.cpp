// The same video through the window (zendrik2 unattended, under an Xvfb of its own),
// through the headless runner (zendrik2-job) and by `curl -F`, all to one stand-in that
// discards upload bodies, alternating within each round.
//
//   window_upload_bench [MiB ...]     (default: 64 256)
//
// For the window and the runner the figure is their upload phase: from the title
// "(logged in)" to "(upload ok)", less the job's fixed 500 ms pause (so the user-id
// request, the upload and its last step). The window's titles are taken as the X server
// reports them, the runner's as it writes them to standard error; curl's figure is its
// whole run. Medians of 3 rounds. The window runs with ZENDRIK_TICK_STATS set and
// reports its timer's longest tick while the job ran; its peak RSS (VmHWM) and the peak
// PSS of it with its browser processes are sampled every 100 ms in one more window run
// after the timed rounds.

#include "BenchProcess.h"
#include "GuiBenchSupport.h"
#include "tests/support/StandinProcess.h"

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace guitest;
using namespace std::chrono_literals;
using guibench::FileText;
using guibench::Memory;
using guibench::PeakRssKiB;
using guibench::TreeMemory;

const std::string kToken = "bench-token";
constexpr double kLoggedInPause = 0.5;
constexpr int kRounds = 3;
constexpr auto kJobTimeout = 180s;

double Seconds(Clock::duration span) { return std::chrono::duration<double>(span).count(); }

struct WindowFigures {
    double phaseSeconds = -1;
    double longestTickMs = -1;
    double longestGapMs = -1;
    long peakRssKiB = 0;
    long peakTreePssKiB = 0;
};

// "while the job ran: N ticks, longest X ms, longest gap Y ms" from the window's stderr.
void ReadTickStats(const std::string& stderrText, WindowFigures& figures)
{
    const std::size_t at = stderrText.find("while the job ran:");
    if (at == std::string::npos)
        return;
    int ticks = 0;
    std::sscanf(stderrText.c_str() + at, "while the job ran: %d ticks, longest %lf ms, longest gap %lf ms", &ticks,
                &figures.longestTickMs, &figures.longestGapMs);
}

class Bench {
public:
    explicit Bench(const std::string& dir)
        : dir_(dir),
          standin_({"--discard-uploads", "--token", kToken, "--autosubmit", "--autosubmit-delay", "0"})
    {
        env_ = standin_.Environment();
        env_.insert(env_.end(), {"HOME=" + dir, "XDG_CONFIG_HOME=" + dir + "/config", "XDG_DATA_HOME=" + dir + "/data",
                                 "XDG_CACHE_HOME=" + dir + "/cache", "NO_AT_BRIDGE=1"});
    }

    // memory: sample the memory every 100 ms; reading the processes' page tables takes
    // time from the upload on a small machine, so the timed rounds leave it out.
    WindowFigures Window(const std::string& video, bool memory)
    {
        const Json::ArrayIndex logouts = standin_.Received("logout").size();
        std::vector<std::string> env = env_;
        env.push_back("ZENDRIK_TICK_STATS=1");
        env.push_back("ZENDRIK_DEBUG=1");
        ProgramRun run(server_,
                       {"-aBench", "-f" + video, "-x100", "-y100", "-w800", "-h600", "-uguest@example.com", "-psecret"},
                       env, dir_);
        WindowFigures figures;
        if (run.Window() == 0) {
            std::printf("     zendrik2 showed no window\n");
            return figures;
        }
        const Clock::time_point deadline = Clock::now() + kJobTimeout;
        while (Clock::now() < deadline && run.Process().Running() && standin_.Received("logout").size() == logouts) {
            if (memory) {
                const Memory now = TreeMemory(run.Process().Pid());
                figures.peakTreePssKiB = std::max(figures.peakTreePssKiB, now.pssKiB);
                figures.peakRssKiB = std::max(figures.peakRssKiB, PeakRssKiB(run.Process().Pid()));
            }
            std::this_thread::sleep_for(100ms);
        }
        const std::optional<Clock::time_point> loggedIn = run.Titles().SeenAt("(logged in)");
        const std::optional<Clock::time_point> done = run.Titles().SeenAt("(upload ok)");
        run.Close();
        if (loggedIn && done)
            figures.phaseSeconds = Seconds(*done - *loggedIn) - kLoggedInPause;
        else
            std::printf("     window run failed; titles:%s\n%s\n", Joined(run.Titles().Titles()).c_str(),
                        run.Stderr().c_str());
        ReadTickStats(run.Stderr(), figures);
        return figures;
    }

    // The runner's titles go to its standard error, one line each, read as they come.
    double Runner(const std::string& video)
    {
        const std::string titles = dir_ + "/runner.err";
        std::vector<std::string> env = env_;
        env.push_back("ZENDRIK_ACCESS_TOKEN=" + kToken);
        ChildProcess runner({ZENDRIK_JOB_EXE, "-bBench", "-f" + video}, {.env = env, .err = ChildOutput::File(titles)});
        std::optional<Clock::time_point> loggedIn, done;
        const Clock::time_point deadline = Clock::now() + kJobTimeout;
        while (!done && Clock::now() < deadline && runner.Running()) {
            const std::string text = FileText(titles);
            if (!loggedIn && text.find("(logged in)") != std::string::npos)
                loggedIn = Clock::now();
            if (text.find("(upload ok)") != std::string::npos)
                done = Clock::now();
            std::this_thread::sleep_for(2ms);
        }
        runner.WaitForExit(30s);
        return loggedIn && done ? Seconds(*done - *loggedIn) - kLoggedInPause : -1;
    }

    double Curl(const std::string& video)
    {
        const std::string url =
            "https://" + standin_.Variable("ZENDRIK_GRAPH_VIDEO_HOST") + "/v2.12/" ZENDRIK_BENCH_USER_ID "/videos";
        const bench::RunFigures curl = bench::RunTimed(
            {"curl", "-sS", "--noproxy", "*", "--cacert", standin_.Variable("ZENDRIK_CA_FILE"), "-o", "/dev/null", "-F",
             "access_token=" + kToken, "-F", "description=Bench", "-F", "source=@" + video, url});
        return curl.exitStatus == 0 ? curl.wallSeconds : -1;
    }

private:
    std::string dir_;
    XServer server_;
    testsupport::StandinProcess standin_;
    std::vector<std::string> env_;
};

using guibench::Median;

void Measure(Bench& bench, std::uint64_t mebibytes)
{
    const ::bench::ScratchFile video("clip.mp4", mebibytes << 20);
    std::vector<double> window, runner, curl, ticks, gaps;
    for (int round = 1; round <= kRounds; ++round) {
        const WindowFigures w = bench.Window(video.Path(), false);
        const double r = bench.Runner(video.Path());
        const double c = bench.Curl(video.Path());
        std::printf("%4llu MiB round %d: window %7.3f s (longest tick %6.2f ms, longest gap %6.1f ms)  runner %7.3f s"
                    "  curl -F %7.3f s\n",
                    static_cast<unsigned long long>(mebibytes), round, w.phaseSeconds, w.longestTickMs, w.longestGapMs,
                    r, c);
        std::fflush(stdout);
        if (w.phaseSeconds < 0 || r < 0 || c < 0) {
            std::printf("     a run failed; round left out\n");
            continue;
        }
        window.push_back(w.phaseSeconds);
        runner.push_back(r);
        curl.push_back(c);
        ticks.push_back(w.longestTickMs);
        gaps.push_back(w.longestGapMs);
    }
    if (window.empty())
        return;
    const WindowFigures memory = bench.Window(video.Path(), true);
    const double wm = Median(window), rm = Median(runner), cm = Median(curl);
    std::printf("%4llu MiB medians: window %.3f s, runner %.3f s, curl -F %.3f s\n"
                "         window/runner %.2f (target <= 1.15)  window/curl %.2f (target <= 1.3)  "
                "runner/curl %.2f (target <= 1.15)\n"
                "         window timer while the job ran: longest tick %.2f ms (max of rounds; target <= 50), "
                "longest gap between ticks %.1f ms\n"
                "         zendrik2 peak RSS %.1f MiB; peak PSS with its browser processes %.1f MiB (a round of "
                "its own)\n",
                static_cast<unsigned long long>(mebibytes), wm, rm, cm, wm / rm, wm / cm, rm / cm,
                *std::max_element(ticks.begin(), ticks.end()), *std::max_element(gaps.begin(), gaps.end()),
                memory.peakRssKiB / 1024.0, memory.peakTreePssKiB / 1024.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    bench::ForgetProxies();
    const std::vector<std::uint64_t> sizes = bench::SizesInMiB(argc, argv);

    char pattern[] = "/tmp/zendrik2-window-upload-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    {
        Bench bench(dir);
        std::printf("video upload phase (\"(logged in)\" to \"(upload ok)\" less the 0.5 s pause) through the window\n"
                    "and through zendrik2-job, against curl -F's whole run; stand-in discarding upload bodies\n");
        for (const std::uint64_t size : sizes)
            Measure(bench, size);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
