#include "tests/standin/StandinProcess.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace standintest {

namespace {

constexpr int kStartTimeoutMs = 30000;

// Reads lines until READY; throws when the child ends or stays silent too long.
std::vector<std::string> ReadUntilReady(int fd) {
    std::vector<std::string> lines;
    std::string pending;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 200) <= 0) continue;
        char buffer[4096];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) throw std::runtime_error("zendrik2-standin ended before READY");
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::string line = pending.substr(0, end);
            if (line == "READY") return lines;
            lines.push_back(line);
        }
    }
    throw std::runtime_error("zendrik2-standin did not print READY in time");
}

}  // namespace

std::string CaFile() { return ZENDRIK_TEST_CA_FILE; }

Json::Value ParseJson(const std::string& text) {
    Json::Value json;
    Json::Reader reader;
    if (!reader.parse(text, json)) ADD_FAILURE() << "not JSON: " << text;
    return json;
}

StandinProcess::StandinProcess(std::vector<std::string> arguments) {
    signal(SIGPIPE, SIG_IGN);  // the tests write to connections the service drops on purpose
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
    std::vector<std::string> argv{ZENDRIK_STANDIN_EXE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> raw;
    for (std::string& argument : argv) raw.push_back(argument.data());
    raw.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive a crashed test
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execv(raw[0], raw.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
    if (pid_ < 0) throw std::runtime_error("fork failed");
    try {
        lines_ = ReadUntilReady(output_);
    } catch (...) {
        Terminate();
        throw;
    }
    for (const std::string& line : lines_) {
        const std::size_t colon = line.rfind(':');
        const std::size_t space = line.find(' ');
        if (line.starts_with("env ") || line.starts_with("data ") || colon == std::string::npos) continue;
        ports_[line.substr(0, space)] = std::stoi(line.substr(colon + 1));
    }
}

StandinProcess::~StandinProcess() { Terminate(); }

int StandinProcess::Terminate() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            close(output_);
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    close(output_);
    return -1;
}

int StandinProcess::Port(const std::string& listener) const {
    const auto it = ports_.find(listener);
    if (it == ports_.end()) throw std::runtime_error("no listener " + listener);
    return it->second;
}

std::string StandinProcess::HostPort(const std::string& listener) const {
    return "127.0.0.1:" + std::to_string(Port(listener));
}

std::unique_ptr<httplib::Client> StandinProcess::Client(const std::string& listener) const {
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

Json::Value StandinProcess::AdminGet(const std::string& target) const {
    const auto result = Client("admin")->Get(target.c_str());
    if (!result) throw std::runtime_error("admin GET failed: " + target);
    return ParseJson(result->body);
}

Json::Value StandinProcess::AdminPost(const std::string& path, const Json::Value& body) const {
    Json::StreamWriterBuilder builder;
    const auto result = Client("admin")->Post(path.c_str(), Json::writeString(builder, body), "application/json");
    if (!result) throw std::runtime_error("admin POST failed: " + path);
    EXPECT_EQ(result->status, 200) << result->body;
    return ParseJson(result->body);
}

Json::Value StandinProcess::Received(const std::string& kind) const {
    return AdminGet("/_admin/received?kind=" + kind)["requests"];
}

void StandinProcess::Script(const Json::Value& rule) const { AdminPost("/_admin/script", rule); }

void StandinProcess::Configure(const Json::Value& switches) const { AdminPost("/_admin/config", switches); }

}  // namespace standintest
