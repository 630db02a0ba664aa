#pragma once
// The stand-in service as one child process for a whole test suite: started with its
// command line, its listener and "env" lines read up to READY, driven through its
// admin API and reset between the cases.

#include <json/json.h>

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace jobtest {

class StandinService {
public:
    explicit StandinService(const std::vector<std::string>& arguments);
    ~StandinService();
    StandinService(const StandinService&) = delete;
    StandinService& operator=(const StandinService&) = delete;

    // "NAME=value" for every "env" line it printed: the hosts and the test authority.
    const std::vector<std::string>& Environment() const { return environment_; }
    std::string HostPort(const std::string& listener) const;  // "127.0.0.1:PORT"

    Json::Value Get(const std::string& target) const;
    Json::Value Post(const std::string& path, const Json::Value& body) const;

    void Reset() const;
    // The records of the given kinds ("photo,video"), in arrival order.
    Json::Value Received(const std::string& kinds) const;
    // Waits (up to timeoutMs) until count records of the kind have arrived.
    bool WaitFor(const std::string& kind, int count, int timeoutMs) const;
    void Script(const Json::Value& rule) const;
    void AddAlbum(const std::string& name, bool canUpload, const std::string& id = {}) const;
    void SetHostOpen(const std::string& host, bool open) const;

private:
    pid_t pid_ = -1;
    std::filesystem::path outputFile_;
    std::vector<std::string> environment_;
    std::map<std::string, int> ports_;
};

// Parses a JSON text; a text that is not JSON fails the current test.
Json::Value ParseJson(const std::string& text);

}  // namespace jobtest
