// The headless runner's whole video job (greeting, user id, upload in 1024-byte steps
// with a progress line and a status tag before each, logout) against `curl -F` of the
// same file to the same stand-in service, which reads and discards upload bodies
// unparsed so that it is not what is measured.
//
//   job_bench [MiB ...]          (default: 64 256)
//
// ZENDRIK_JOB_RUNNER runs another build's runner instead, as in the job suite (e.g. the
// Windows one under Wine: "wine;build-win/bin/zendrik2-job.exe"); ZENDRIK_BENCH_ROUNDS
// is the number of runs of each (default 5).
//
// Prints both wall times, their ratio and the runner's peak RSS for each size. The
// runner's log lines go to /dev/null, and so do its window titles.

#include "BenchProcess.h"
#include "tests/support/OtherRunner.h"
#include "tests/support/StandinProcess.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kToken = "bench-token";
// The job sequence waits this long after showing "(logged in)", whatever the upload.
constexpr double kLoggedInPause = 0.5;

int Rounds()
{
    const char* rounds = std::getenv("ZENDRIK_BENCH_ROUNDS");
    const int count = rounds == nullptr ? 0 : std::atoi(rounds);
    return count > 0 ? count : 5;
}

void Measure(const testsupport::StandinProcess& standin, const std::filesystem::path& home, std::uint64_t mebibytes)
{
    bench::ScratchFile file("clip.mp4", mebibytes << 20);
    std::vector<std::string> runner = testsupport::RunnerCommand(ZENDRIK_JOB_EXE);
    const bool otherRunner = runner.front() != ZENDRIK_JOB_EXE;
    runner.insert(runner.end(), {"-bBench", "-f" + file.Path()});
    std::vector<std::string> env;
    for (const std::string& entry : standin.Environment())
        env.push_back(otherRunner ? testsupport::HostsByName(entry) : entry);
    env.push_back("ZENDRIK_ACCESS_TOKEN=" + kToken);
    env.push_back("HOME=" + home.string());
    env.push_back("XDG_CONFIG_HOME=" + (home / "config").string());
    env.push_back("XDG_DATA_HOME=" + (home / "data").string());

    const std::string url =
        "https://" + standin.Variable("ZENDRIK_GRAPH_VIDEO_HOST") + "/v2.12/" ZENDRIK_BENCH_USER_ID "/videos";
    const int rounds = Rounds();
    const std::optional<bench::PairedRuns> paired = bench::Alternate(
        rounds, mebibytes, "runner",
        [&] { return bench::RunTimed(runner, env, testsupport::ChildOutput::File("/dev/null")); },
        {"curl", "-sS", "--noproxy", "*", "--cacert", standin.Variable("ZENDRIK_CA_FILE"), "-o", "/dev/null", "-F",
         "access_token=" + kToken, "-F", "description=Bench", "-F", "source=@" + file.Path(), url});
    if (!paired)
        return;
    const bench::PairedRuns& runs = *paired;
    const double runnerMedian = runs.MeasuredMedian();
    const double curlMedian = runs.CurlMedian();
    std::printf("%6llu MiB  runner %7.3f s  curl -F %7.3f s  ratio %5.2f  (%5.2f without the job's %.1f s pause)"
                "  runner peak RSS %6.1f MiB  (medians of %d runs)\n",
                static_cast<unsigned long long>(mebibytes), runnerMedian, curlMedian, runnerMedian / curlMedian,
                (runnerMedian - kLoggedInPause) / curlMedian, kLoggedInPause, runs.PeakRssKiB() / 1024.0, rounds);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    bench::ForgetProxies();
    const std::vector<std::uint64_t> sizes = bench::SizesInMiB(argc, argv);

    const testsupport::StandinProcess standin({"--discard-uploads", "--token", kToken});
    char pattern[] = "/tmp/zendrik-job-bench-home-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    const std::filesystem::path home = pattern;
    std::printf("zendrik2-job video job (1024-byte steps, a log line and a title per step) vs curl -F,\n"
                "stand-in discarding upload bodies\n");
    if (const char* runner = std::getenv("ZENDRIK_JOB_RUNNER"); runner != nullptr && *runner != '\0')
        std::printf("runner: %s\n", runner);
    for (const auto size : sizes)
        Measure(standin, home, size);
    std::filesystem::remove_all(home);
    return 0;
}
