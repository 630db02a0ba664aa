#pragma once
// Everything the service received, one JSON record per request, kept in memory for the
// admin queries and appended to journal.jsonl in the data folder as each request ends.
// Uploaded files lie beside it in files/.

#include <json/json.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace standin {

struct JournalFilter {
    std::set<std::string> kinds;  // empty: every kind
    std::string host;             // empty: every host
    std::uint64_t since = 0;      // records with a larger sequence number only

    bool Matches(const Json::Value& record) const;
};

class Journal {
public:
    explicit Journal(std::filesystem::path dataDir);

    std::uint64_t NextSeq();
    void Add(Json::Value record);
    Json::Value Query(const JournalFilter& filter) const;
    // Waits until at least `count` records match; answers how many do.
    std::size_t WaitFor(const JournalFilter& filter, std::size_t count, std::chrono::milliseconds timeout);
    void Reset();
    void Close();  // wakes every waiter for the shutdown

    std::filesystem::path FilesDir() const { return dataDir_ / "files"; }
    const std::filesystem::path& DataDir() const { return dataDir_; }

private:
    std::size_t CountLocked(const JournalFilter& filter) const;
    void OpenFileLocked(std::ios::openmode mode);

    const std::filesystem::path dataDir_;
    mutable std::mutex mutex_;
    std::condition_variable added_;
    std::vector<Json::Value> records_;
    std::ofstream file_;
    std::uint64_t nextSeq_ = 1;
    bool closed_ = false;
};

}  // namespace standin
