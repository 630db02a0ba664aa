#pragma once
// Runs the real zendrik2-standin as a child process for one test, reads the listener
// lines it prints up to "READY", and offers clients for its hosts and its admin API.

#include <httplib.h>
#include <json/json.h>

#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace standintest {

class StandinProcess {
public:
    explicit StandinProcess(std::vector<std::string> arguments = {});
    ~StandinProcess();
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    const std::vector<std::string>& Lines() const { return lines_; }  // everything before READY
    int Port(const std::string& listener) const;
    std::string HostPort(const std::string& listener) const;  // "127.0.0.1:PORT"

    // Clients that trust the test authority and never follow redirects.
    std::unique_ptr<httplib::Client> Client(const std::string& listener) const;

    Json::Value AdminGet(const std::string& target) const;
    Json::Value AdminPost(const std::string& path, const Json::Value& body) const;
    Json::Value Received(const std::string& kind) const;  // the "requests" array
    void Script(const Json::Value& rule) const;
    void Configure(const Json::Value& switches) const;

    // SIGTERM, then the exit status (-1 when it had to be killed).
    int Terminate();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::vector<std::string> lines_;
    std::map<std::string, int> ports_;
};

Json::Value ParseJson(const std::string& text);
std::string CaFile();

}  // namespace standintest
