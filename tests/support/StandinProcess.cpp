#include "tests/support/StandinProcess.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace testsupport {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kStopTimeout = std::chrono::seconds(25);

std::vector<std::string> StandinCommand(const std::vector<std::string>& arguments)
{
    // The tests write to connections the service drops on purpose.
    ::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> argv{ZENDRIK_STANDIN_EXE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

}  // namespace

std::string CaFile() { return ZENDRIK_TEST_CA_FILE; }

Json::Value ParseJson(const std::string& text)
{
    Json::Value json;
    Json::Reader reader;
    if (!reader.parse(text, json))
        ADD_FAILURE() << "not JSON: " << text;
    return json;
}

// Its standard error stays this process's; nothing follows READY on its standard output.
StandinProcess::StandinProcess(const std::vector<std::string>& arguments)
    : process_(StandinCommand(arguments), {.out = ChildOutput::Pipe(), .err = ChildOutput::Inherit()})
{
    if (!process_.WaitForLine([](const std::string& line) { return line == "READY"; }, kStartTimeout))
        throw std::runtime_error(process_.Running() ? "zendrik2-standin did not print READY in time"
                                                    : "zendrik2-standin ended before READY");
    const std::vector<std::string>& lines = process_.OutLines();
    lines_.assign(lines.begin(), std::find(lines.begin(), lines.end(), "READY"));
    for (const std::string& line : lines_) {
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

int StandinProcess::Terminate() { return process_.Stop(kStopTimeout).value_or(-1); }

std::string StandinProcess::Variable(const std::string& name) const
{
    for (const std::string& entry : environment_) {
        if (entry.starts_with(name + "="))
            return entry.substr(name.size() + 1);
    }
    throw std::runtime_error("the stand-in printed no " + name);
}

int StandinProcess::Port(const std::string& listener) const
{
    const auto it = ports_.find(listener);
    if (it == ports_.end())
        throw std::runtime_error("the stand-in printed no listener " + listener);
    return it->second;
}

std::string StandinProcess::HostPort(const std::string& listener) const
{
    return "127.0.0.1:" + std::to_string(Port(listener));
}

std::unique_ptr<httplib::Client> StandinProcess::Client(const std::string& listener) const
{
    const bool tls = listener != "admin";
    auto client = std::make_unique<httplib::Client>(std::string(tls ? "https://" : "http://") + HostPort(listener));
    if (tls) {
        client->set_ca_cert_path(CaFile().c_str());
        client->enable_server_certificate_verification(true);
    }
    client->set_follow_location(false);
    client->set_read_timeout(30, 0);
    return client;
}

Json::Value StandinProcess::AdminGet(const std::string& target) const
{
    const auto admin = Client("admin");
    admin->set_read_timeout(std::chrono::minutes(11));  // the wait endpoint holds the answer
    const auto result = admin->Get(target.c_str());
    if (!result)
        throw std::runtime_error("admin GET failed: " + target);
    return ParseJson(result->body);
}

Json::Value StandinProcess::AdminPost(const std::string& path, const Json::Value& body) const
{
    Json::StreamWriterBuilder builder;
    const auto result = Client("admin")->Post(path.c_str(), Json::writeString(builder, body), "application/json");
    if (!result)
        throw std::runtime_error("admin POST failed: " + path);
    EXPECT_EQ(result->status, 200) << path << ": " << result->body;
    return ParseJson(result->body);
}

void StandinProcess::Reset() const { AdminPost("/_admin/reset", Json::Value(Json::objectValue)); }

Json::Value StandinProcess::Received(const std::string& kinds) const
{
    return AdminGet("/_admin/received?kind=" + kinds)["requests"];
}

bool StandinProcess::WaitFor(const std::string& kind, int count, int timeoutMs) const
{
    return AdminGet("/_admin/wait?kind=" + kind + "&count=" + std::to_string(count) +
                    "&timeoutMs=" + std::to_string(timeoutMs))["reached"]
        .asBool();
}

void StandinProcess::Script(const Json::Value& rule) const { AdminPost("/_admin/script", rule); }

void StandinProcess::Configure(const Json::Value& switches) const { AdminPost("/_admin/config", switches); }

void StandinProcess::AddAlbum(const std::string& name, bool canUpload, const std::string& id) const
{
    Json::Value album;
    album["name"] = name;
    album["can_upload"] = canUpload;
    if (!id.empty())
        album["id"] = id;
    AdminPost("/_admin/albums", album);
}

void StandinProcess::SetHostOpen(const std::string& host, bool open) const
{
    Json::Value hosts;
    hosts[host] = open;
    AdminPost("/_admin/hosts", hosts);
}

}  // namespace testsupport
