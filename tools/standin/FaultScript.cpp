#include "tools/standin/FaultScript.h"

namespace standin {

void FaultScript::Add(ScriptRule rule)
{
    std::lock_guard lock(mutex_);
    entries_.push_back(Entry{std::move(rule)});
}

void FaultScript::Clear()
{
    std::lock_guard lock(mutex_);
    entries_.clear();
}

std::optional<ScriptRule> FaultScript::Take(const std::string& host, const std::string& method, const std::string& path,
                                            const std::string& query)
{
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (!it->rule.Matches(host, method, path, query))
            continue;
        if (it->seen++ < it->rule.skip)
            continue;
        ScriptRule rule = it->rule;
        if (it->rule.times > 0 && ++it->used >= it->rule.times)
            entries_.erase(it);
        return rule;
    }
    return std::nullopt;
}

Json::Value FaultScript::ToJson() const
{
    std::lock_guard lock(mutex_);
    Json::Value list(Json::arrayValue);
    for (const Entry& entry : entries_) {
        Json::Value rule = entry.rule.ToJson();
        rule["matched"] = entry.seen;
        rule["used"] = entry.used;
        list.append(rule);
    }
    return list;
}

}  // namespace standin
