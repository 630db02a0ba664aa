#pragma once
// The rules scripted through the admin API, tried in the order they were added; the
// first one that matches a request (and is past its "skip") takes it.

#include "tools/standin/ScriptRule.h"

#include <json/json.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace standin {

class FaultScript {
public:
    void Add(ScriptRule rule);
    void Clear();
    // Consumes one use of the matching rule; a rule whose uses are spent is removed.
    std::optional<ScriptRule> Take(const std::string& host, const std::string& method, const std::string& path,
                                   const std::string& query);
    Json::Value ToJson() const;

private:
    struct Entry {
        ScriptRule rule;
        int seen = 0;
        int used = 0;
    };
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace standin
