#include "tests/job/StandinService.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace jobtest {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kStopTimeout = std::chrono::seconds(25);

std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Its standard output goes to a file: it never blocks on a pipe nobody reads.
pid_t StartChild(const std::vector<std::string>& arguments, const std::filesystem::path& outputFile)
{
    std::vector<std::string> argv{ZENDRIK_STANDIN_EXE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> raw;
    for (std::string& argument : argv)
        raw.push_back(argument.data());
    raw.push_back(nullptr);
    const std::string output = outputFile.string();

    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive a crashed test
        const int fd = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            _exit(126);
        dup2(fd, STDOUT_FILENO);
        close(fd);
        execv(raw[0], raw.data());
        _exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("fork failed");
    return pid;
}

std::vector<std::string> WaitUntilReady(pid_t pid, const std::filesystem::path& outputFile)
{
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string text = FileText(outputFile);
        if (text.find("\nREADY\n") != std::string::npos)
            return LinesOf(text.substr(0, text.find("\nREADY\n") + 1));
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            throw std::runtime_error("zendrik2-standin ended before READY");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    throw std::runtime_error("zendrik2-standin did not print READY in time");
}

void Stop(pid_t pid)
{
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::string JsonText(const Json::Value& json)
{
    Json::StreamWriterBuilder builder;
    return Json::writeString(builder, json);
}

}  // namespace

Json::Value ParseJson(const std::string& text)
{
    Json::Value json;
    Json::Reader reader;
    if (!reader.parse(text, json))
        ADD_FAILURE() << "not JSON: " << text;
    return json;
}

StandinService::StandinService(const std::vector<std::string>& arguments)
{
    char folder[] = "/tmp/zendrik-job-standin-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    outputFile_ = std::filesystem::path(folder) / "standin.out";
    pid_ = StartChild(arguments, outputFile_);
    std::vector<std::string> lines;
    try {
        lines = WaitUntilReady(pid_, outputFile_);
    } catch (...) {
        Stop(pid_);
        std::filesystem::remove_all(outputFile_.parent_path());
        throw;
    }
    for (const std::string& line : lines) {
        if (line.starts_with("env ")) {
            environment_.push_back(line.substr(4));
            continue;
        }
        const std::size_t colon = line.rfind(':');
        if (line.starts_with("data ") || colon == std::string::npos)
            continue;
        ports_[line.substr(0, line.find(' '))] = std::stoi(line.substr(colon + 1));
    }
}

StandinService::~StandinService()
{
    Stop(pid_);
    std::error_code ignored;
    std::filesystem::remove_all(outputFile_.parent_path(), ignored);
}

std::string StandinService::HostPort(const std::string& listener) const
{
    const auto it = ports_.find(listener);
    if (it == ports_.end())
        throw std::runtime_error("the stand-in printed no listener " + listener);
    return "127.0.0.1:" + std::to_string(it->second);
}

Json::Value StandinService::Get(const std::string& target) const
{
    httplib::Client admin("http://" + HostPort("admin"));
    admin.set_read_timeout(std::chrono::minutes(11));
    const auto result = admin.Get(target.c_str());
    if (!result)
        throw std::runtime_error("admin GET failed: " + target);
    return ParseJson(result->body);
}

Json::Value StandinService::Post(const std::string& path, const Json::Value& body) const
{
    httplib::Client admin("http://" + HostPort("admin"));
    const auto result = admin.Post(path.c_str(), JsonText(body), "application/json");
    if (!result)
        throw std::runtime_error("admin POST failed: " + path);
    EXPECT_EQ(result->status, 200) << path << ": " << result->body;
    return ParseJson(result->body);
}

void StandinService::Reset() const { Post("/_admin/reset", Json::Value(Json::objectValue)); }

Json::Value StandinService::Received(const std::string& kinds) const
{
    return Get("/_admin/received?kind=" + kinds)["requests"];
}

bool StandinService::WaitFor(const std::string& kind, int count, int timeoutMs) const
{
    return Get("/_admin/wait?kind=" + kind + "&count=" + std::to_string(count) + "&timeoutMs="
               + std::to_string(timeoutMs))["reached"]
        .asBool();
}

void StandinService::Script(const Json::Value& rule) const { Post("/_admin/script", rule); }

void StandinService::AddAlbum(const std::string& name, bool canUpload, const std::string& id) const
{
    Json::Value album;
    album["name"] = name;
    album["can_upload"] = canUpload;
    if (!id.empty())
        album["id"] = id;
    Post("/_admin/albums", album);
}

void StandinService::SetHostOpen(const std::string& host, bool open) const
{
    Json::Value hosts;
    hosts[host] = open;
    Post("/_admin/hosts", hosts);
}

}  // namespace jobtest
