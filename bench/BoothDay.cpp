// booth_day: a day at a photo booth. zendrik2 runs shot after shot under an X server of
// its own against one stand-in service, started and ended as a booth host does, with
// one home folder for the whole day. Each shot is checked on the wire and on the machine;
// the day prints a table and its figures and exits non-zero on any failure.
//
//   booth_day [--shots N] [--load] [--relax-web-data] [--max-home-files N] [--max-home-bytes N]

#include "bench/BoothScan.h"
#include "bench/BoothShots.h"
#include "bench/GuiBenchSupport.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/StandinProcess.h"

#include <signal.h>
#include <strings.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace booth {
namespace {

using guibench::FileText;

using guitest::Clock;
using Seconds = std::chrono::duration<double>;

constexpr auto kFinalTitleWithin = std::chrono::seconds(150);
constexpr auto kExitWithin = std::chrono::seconds(5);
constexpr auto kHelpersGoneWithin = std::chrono::seconds(3);

struct Options {
    int shots = 200;
    bool load = false;
    bool strictWebData = true;
    std::uintmax_t maxHomeFiles = 400;
    std::uintmax_t maxHomeBytes = 64u << 20;
};

struct ShotResult {
    Shot shot;
    double seconds = 0;
    std::string finalTitle;
    std::optional<int> status;
    double exitSeconds = 0;
    bool crashed = false;
    bool hung = false;
    bool sessionReused = false;
    std::size_t leaked = 0;
    std::size_t webData = 0;
    FolderUsage home;
    std::vector<std::string> failures;
};

[[noreturn]] void Usage()
{
    std::fprintf(stderr, "usage: booth_day [--shots N] [--load] [--relax-web-data] [--max-home-files N] "
                         "[--max-home-bytes N]\n");
    std::exit(2);
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--shots" && hasValue)
            options.shots = std::atoi(argv[++i]);
        else if (option == "--load")
            options.load = true;
        else if (option == "--relax-web-data")
            options.strictWebData = false;
        else if (option == "--max-home-files" && hasValue)
            options.maxHomeFiles = std::strtoull(argv[++i], nullptr, 10);
        else if (option == "--max-home-bytes" && hasValue)
            options.maxHomeBytes = std::strtoull(argv[++i], nullptr, 10);
        else
            Usage();
    }
    if (options.shots <= 0)
        Usage();
    return options;
}

// Two processes that keep both cores busy beside the booth; killed with the day.
class CpuLoad {
public:
    explicit CpuLoad(bool on)
    {
        for (int i = 0; on && i < 2; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                for (volatile unsigned long spin = 0;;)
                    spin = spin + 1;
            }
            if (pid > 0)
                pids_.push_back(pid);
        }
    }
    ~CpuLoad()
    {
        for (const pid_t pid : pids_) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    CpuLoad(const CpuLoad&) = delete;
    CpuLoad& operator=(const CpuLoad&) = delete;

private:
    std::vector<pid_t> pids_;
};

std::string Tail(const std::string& text, std::size_t lines)
{
    std::size_t at = text.size();
    for (std::size_t seen = 0; at > 0 && seen <= lines;) {
        --at;
        if (text[at] == '\n')
            ++seen;
    }
    return text.substr(at);
}

bool IsFinal(const std::string& title)
{
    return title.find("(upload ok)") != std::string::npos || title.find("(error:") != std::string::npos ||
           title.find("(login failed)") != std::string::npos;
}

std::optional<std::string> WaitForFinalTitle(guitest::ProgramRun& run)
{
    const auto deadline = Clock::now() + kFinalTitleWithin;
    while (Clock::now() < deadline && run.Process().Running()) {
        const std::vector<std::string> titles = run.Titles().Titles();
        if (!titles.empty() && IsFinal(titles.back()))
            return titles.back();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const std::vector<std::string> titles = run.Titles().Titles();
    if (!titles.empty() && IsFinal(titles.back()))
        return titles.back();
    return std::nullopt;
}

class Day {
public:
    Day(const Options& options, const std::filesystem::path& work)
        : options_(options),
          work_(work),
          home_(work / "home"),
          // A booth's display that serves only zendrik2 resets whenever its last client leaves.
          server_(testsupport::XvfbReset::OnLastClient),
          service_({"--autosubmit", "--autosubmit-delay", "300"})
    {
        std::filesystem::create_directories(home_);
        std::filesystem::create_directories(work_ / "media");
        std::filesystem::create_directories(work_ / "shot");
        Json::Value album;
        album["name"] = kExistingAlbum;
        album["id"] = "555000111";
        service_.AdminPost("/_admin/albums", album);
        for (const std::string& line : service_.Lines()) {
            if (line.starts_with("env "))
                serviceEnv_.push_back(line.substr(4));
        }
    }

    ShotResult Run(const Shot& shot);

private:
    std::vector<std::string> Environment(const std::string& marker) const;
    Json::Value RecordsSince(int seq) const;
    void CheckWire(const Shot& shot, const Json::Value& records, const std::optional<std::filesystem::path>& media,
                   ShotResult& result) const;
    void CheckLeftovers(pid_t pid, const std::string& marker, ShotResult& result) const;
    void ReportCrash(pid_t pid, const std::string& stderrText, int status) const;

    const Options& options_;
    std::filesystem::path work_;
    std::filesystem::path home_;
    guitest::XServer server_;
    testsupport::StandinProcess service_;
    std::vector<std::string> serviceEnv_;
    int lastSeq_ = 0;
};

std::vector<std::string> Day::Environment(const std::string& marker) const
{
    std::vector<std::string> env = serviceEnv_;
    const std::string root = home_.string();
    env.insert(env.end(),
               {"HOME=" + root, "XDG_CONFIG_HOME=" + root + "/.config", "XDG_DATA_HOME=" + root + "/.local/share",
                "XDG_CACHE_HOME=" + root + "/.cache", "NO_AT_BRIDGE=1", "GDK_BACKEND=x11", marker});
    return env;
}

Json::Value Day::RecordsSince(int seq) const
{
    return service_.AdminGet("/_admin/received?since=" + std::to_string(seq))["requests"];
}

std::vector<Json::Value> OfKind(const Json::Value& records, const std::string& kind)
{
    std::vector<Json::Value> found;
    for (const Json::Value& record : records) {
        if (record["kind"].asString() == kind)
            found.push_back(record);
    }
    return found;
}

bool CarriesSessionCookie(const Json::Value& record)
{
    for (const std::string& name : record["headers"].getMemberNames()) {
        if (name.size() != 6 || ::strncasecmp(name.c_str(), "cookie", 6) != 0)
            continue;
        const std::string value = record["headers"][name].asString();
        if (value.find("c_user=") != std::string::npos || value.find("xs=") != std::string::npos)
            return true;
    }
    return false;
}

void Day::CheckWire(const Shot& shot, const Json::Value& records, const std::optional<std::filesystem::path>& media,
                    ShotResult& result) const
{
    std::string token;
    for (const Json::Value& record : records) {
        const std::string kind = record["kind"].asString();
        if ((kind == "login" || kind == "oauth_dialog") && !record["details"]["issuedToken"].asString().empty())
            token = record["details"]["issuedToken"].asString();
        if (kind == "oauth_dialog" &&
            (CarriesSessionCookie(record) || record["details"]["outcome"].asString() == "session"))
            result.sessionReused = true;
    }
    if (result.sessionReused)
        result.failures.push_back("session reused");
    if (token.empty()) {
        result.failures.push_back("no token issued");
    } else {
        bool loggedOut = false;
        for (const Json::Value& logout : OfKind(records, "logout"))
            loggedOut = loggedOut || logout["details"]["token"].asString() == token;
        if (!loggedOut)
            result.failures.push_back("no logout with the shot's token");
    }
    if (shot.fault || !media)
        return;
    const std::vector<Json::Value> uploads = OfKind(records, UploadKind(shot.kind));
    if (uploads.size() != 1) {
        result.failures.push_back(std::to_string(uploads.size()) + " upload records");
        return;
    }
    const std::string stored = uploads[0]["details"]["file"].asString();
    if (stored.empty() || FileText(stored) != FileText(*media))
        result.failures.push_back("uploaded file differs from the shot's");
}

void Day::CheckLeftovers(pid_t pid, const std::string& marker, ShotResult& result) const
{
    const auto deadline = Clock::now() + kHelpersGoneWithin;
    std::vector<LeftProcess> left = ProcessesOfShot(pid, marker);
    while (!left.empty() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        left = ProcessesOfShot(pid, marker);
    }
    result.leaked = left.size();
    for (const LeftProcess& process : left) {
        result.failures.push_back("left running: " + process.name + " " + std::to_string(process.pid));
        ::kill(process.pid, SIGKILL);
    }
}

void Day::ReportCrash(pid_t pid, const std::string& stderrText, int status) const
{
    std::fprintf(stderr, "shot process %d died by signal %d\n", pid, status - 128);
    for (const std::filesystem::path& core : {work_ / "core", work_ / ("core." + std::to_string(pid))}) {
        if (!std::filesystem::exists(core))
            continue;
        const std::string trace =
            guitest::CommandOutput({"gdb", "-batch", "-ex", "thread apply all bt", ZENDRIK_GUI_EXE, core.string()});
        std::fprintf(stderr, "backtrace from %s:\n%s\n", core.c_str(), trace.c_str());
        std::filesystem::rename(core, work_ / ("core.shot." + std::to_string(pid)));
        return;
    }
    std::fprintf(stderr, "no core found; stderr ends:\n%s\n", Tail(stderrText, 20).c_str());
}

ShotResult Day::Run(const Shot& shot)
{
    ShotResult result;
    result.shot = shot;
    const Json::Value rule = FaultRule(shot);
    if (!rule.isNull())
        service_.Script(rule);
    const std::optional<std::filesystem::path> media = WriteMedia(shot, work_ / "media");
    const std::string marker = "ZENDRIK_BOOTH_SHOT=" + std::to_string(::getpid()) + "-" + std::to_string(shot.number);

    const auto started = Clock::now();
    guitest::ProgramRun run(server_, Arguments(shot, media), Environment(marker), work_ / "shot");
    const pid_t pid = run.Process().Pid();
    std::optional<std::string> final;
    if (run.Window() == 0)
        result.failures.push_back("no window");
    else
        final = WaitForFinalTitle(run);
    result.seconds = Seconds(Clock::now() - started).count();
    result.finalTitle = final.value_or("-");
    if (!final)
        result.failures.push_back("no final title");
    else if (final->find(ExpectedTitle(shot)) == std::string::npos)
        result.failures.push_back("title " + *final);
    if (final)
        service_.AdminGet("/_admin/wait?kind=logout&since=" + std::to_string(lastSeq_) + "&timeoutMs=20000");

    const auto closing = Clock::now();
    run.Process().Signal(SIGTERM);
    result.status = run.Process().WaitForExit(kExitWithin);
    result.exitSeconds = Seconds(Clock::now() - closing).count();
    if (!result.status) {
        result.hung = true;
        result.failures.push_back("still running 5 s after SIGTERM");
        run.Process().Signal(SIGKILL);
        run.Process().WaitForExit(std::chrono::seconds(10));
    } else if (*result.status >= 128) {
        result.crashed = true;
        result.failures.push_back("died by signal " + std::to_string(*result.status - 128));
        ReportCrash(pid, run.Stderr(), *result.status);
    } else if (*result.status != 0) {
        result.failures.push_back("exit status " + std::to_string(*result.status));
    }
    CheckLeftovers(pid, marker, result);

    // A rule the shot never reached must not break the next one.
    service_.Client("admin")->Delete("/_admin/script");
    const Json::Value records = RecordsSince(lastSeq_);
    for (const Json::Value& record : records)
        lastSeq_ = std::max(lastSeq_, record["seq"].asInt());
    CheckWire(shot, records, media, result);

    result.home = UsageOf(home_);
    if (result.home.files > options_.maxHomeFiles || result.home.bytes > options_.maxHomeBytes)
        result.failures.push_back("home folder over its bounds");
    const std::vector<std::string> webData = GuestWebData(home_, "127.0.0.1");
    result.webData = webData.size();
    if (!webData.empty() && options_.strictWebData)
        result.failures.push_back("guest web data on disk: " + webData.front());
    if (!result.failures.empty())
        std::fprintf(stderr, "shot %d stderr ends:\n%s\n", shot.number, Tail(run.Stderr(), 8).c_str());
    return result;
}

void PrintRow(const ShotResult& result)
{
    std::string failures;
    for (const std::string& failure : result.failures)
        failures += (failures.empty() ? "" : "; ") + failure;
    std::printf("%5d  %-11s  %-11s  %7.2f  %5.2f  %-6s  %6ju  %9ju  %3zu  %s\n", result.shot.number,
                KindName(result.shot.kind), result.shot.fault ? FaultName(*result.shot.fault) : "-", result.seconds,
                result.exitSeconds, result.status ? std::to_string(*result.status).c_str() : "hung", result.home.files,
                result.home.bytes, result.webData, failures.empty() ? "ok" : failures.c_str());
    std::fflush(stdout);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The figures of the day; true when every shot passed.
bool PrintFigures(const std::vector<ShotResult>& results, const Options& options)
{
    std::map<std::string, std::vector<double>> secondsByKind;
    int crashes = 0, hangs = 0, reused = 0, failed = 0;
    std::size_t leaked = 0, webDataShots = 0;
    std::uintmax_t maxFiles = 0, maxBytes = 0;
    for (const ShotResult& result : results) {
        const std::string kind =
            std::string(KindName(result.shot.kind)) + (result.shot.fault ? std::string("+fault") : "");
        secondsByKind[kind].push_back(result.seconds);
        crashes += result.crashed;
        hangs += result.hung;
        reused += result.sessionReused;
        failed += !result.failures.empty();
        leaked += result.leaked;
        webDataShots += result.webData != 0;
        maxFiles = std::max(maxFiles, result.home.files);
        maxBytes = std::max(maxBytes, result.home.bytes);
    }
    std::printf("\nseconds to the final title (from the start), by kind:\n");
    for (const auto& [kind, seconds] : secondsByKind)
        std::printf("  %-18s  shots %3zu  median %6.2f  longest %6.2f\n", kind.c_str(), seconds.size(), Median(seconds),
                    *std::max_element(seconds.begin(), seconds.end()));
    std::printf("shots %zu, failed %d, crashes %d, hangs %d, leaked processes %zu, sessions reused %d\n",
                results.size(), failed, crashes, hangs, leaked, reused);
    std::printf("home folder at most %ju files, %ju bytes; at the end %ju files, %ju bytes\n", maxFiles, maxBytes,
                results.back().home.files, results.back().home.bytes);
    std::printf("shots leaving guest web data on disk: %zu%s\n", webDataShots,
                options.strictWebData ? "" : " (reported only: --relax-web-data)");
    return failed == 0;
}

std::filesystem::path MakeWorkFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "booth_day.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a work folder");
    return pattern;
}

}  // namespace
}  // namespace booth

int main(int argc, char** argv)
{
    using namespace booth;
    const Options options = ParseOptions(argc, argv);
    // Cores land in the work folder, the program's working directory.
    const rlimit cores{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_CORE, &cores);
    ::signal(SIGPIPE, SIG_IGN);
    const std::filesystem::path work = MakeWorkFolder();
    std::filesystem::current_path(work);
    std::printf("booth day: %d shots%s, work folder %s\n", options.shots, options.load ? " under load" : "",
                work.c_str());
    std::printf("%5s  %-11s  %-11s  %7s  %5s  %-6s  %6s  %9s  %3s  %s\n", "shot", "kind", "fault", "seconds", "exit",
                "status", "files", "bytes", "web", "checks");

    bool passed = false;
    {
        const CpuLoad load(options.load);
        Day day(options, work);
        std::vector<ShotResult> results;
        for (int number = 1; number <= options.shots; ++number) {
            results.push_back(day.Run(ShotNumber(number)));
            PrintRow(results.back());
        }
        passed = PrintFigures(results, options);
    }
    std::error_code ignored;
    if (passed)
        std::filesystem::remove_all(work, ignored);
    return passed ? 0 : 1;
}
