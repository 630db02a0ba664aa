#pragma once
// Runs the real zendrik2-standin as a child process, reads the listener and "env" lines
// it prints up to "READY", and offers clients for its hosts and its admin API.

#include "tests/support/ChildProcess.h"

#include <httplib.h>
#include <json/json.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class StandinProcess {
public:
    explicit StandinProcess(const std::vector<std::string>& arguments = {});
    ~StandinProcess() { Terminate(); }
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    const std::vector<std::string>& Lines() const { return lines_; }  // everything before READY
    // "NAME=value" for every "env" line it printed: the hosts and the test authority.
    const std::vector<std::string>& Environment() const { return environment_; }
    std::string Variable(const std::string& name) const;
    int Port(const std::string& listener) const;
    std::string HostPort(const std::string& listener) const;  // "127.0.0.1:PORT"

    // Clients that trust the test authority and never follow redirects.
    std::unique_ptr<httplib::Client> Client(const std::string& listener) const;

    Json::Value AdminGet(const std::string& target) const;
    Json::Value AdminPost(const std::string& path, const Json::Value& body) const;
    void Reset() const;
    // The records of the given kinds ("photo,video"), in arrival order: the "requests" array.
    Json::Value Received(const std::string& kinds) const;
    // Waits (up to timeoutMs) until count records of the kind have arrived.
    bool WaitFor(const std::string& kind, int count, int timeoutMs) const;
    void Script(const Json::Value& rule) const;
    void Configure(const Json::Value& switches) const;
    void AddAlbum(const std::string& name, bool canUpload, const std::string& id = {}) const;
    void SetHostOpen(const std::string& host, bool open) const;

    // SIGTERM, then the exit status (-1 when it had to be killed).
    int Terminate();

private:
    ChildProcess process_;
    std::vector<std::string> lines_;
    std::vector<std::string> environment_;
    std::map<std::string, int> ports_;
};

// Parses a JSON text; a text that is not JSON fails the current test.
Json::Value ParseJson(const std::string& text);
std::string CaFile();

}  // namespace testsupport
