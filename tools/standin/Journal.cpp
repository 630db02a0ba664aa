#include "tools/standin/Journal.h"

#include <algorithm>
#include <stdexcept>

namespace standin {

bool JournalFilter::Matches(const Json::Value& record) const
{
    if (record["seq"].asUInt64() <= since)
        return false;
    if (!host.empty() && record["host"].asString() != host)
        return false;
    return kinds.empty() || kinds.count(record["kind"].asString()) > 0;
}

Journal::Journal(std::filesystem::path dataDir) : dataDir_(std::move(dataDir))
{
    std::filesystem::create_directories(FilesDir());
    std::lock_guard lock(mutex_);
    OpenFileLocked(std::ios::app);
}

void Journal::OpenFileLocked(std::ios::openmode mode)
{
    file_.close();
    file_.clear();
    file_.open(dataDir_ / "journal.jsonl", std::ios::out | mode);
    if (!file_)
        throw std::runtime_error("cannot write " + (dataDir_ / "journal.jsonl").string());
}

std::uint64_t Journal::NextSeq()
{
    std::lock_guard lock(mutex_);
    return nextSeq_++;
}

void Journal::Add(Json::Value record)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    const std::string line = Json::writeString(builder, record);
    {
        std::lock_guard lock(mutex_);
        file_ << line << '\n';
        file_.flush();
        // Requests end out of order; the list stays sorted by arrival.
        const auto seq = record["seq"].asUInt64();
        const auto at = std::upper_bound(records_.begin(), records_.end(), seq,
                                         [](std::uint64_t s, const Json::Value& r) { return s < r["seq"].asUInt64(); });
        records_.insert(at, std::move(record));
    }
    added_.notify_all();
}

std::size_t Journal::CountLocked(const JournalFilter& filter) const
{
    return static_cast<std::size_t>(
        std::count_if(records_.begin(), records_.end(), [&](const Json::Value& r) { return filter.Matches(r); }));
}

Json::Value Journal::Query(const JournalFilter& filter) const
{
    std::lock_guard lock(mutex_);
    Json::Value list(Json::arrayValue);
    for (const Json::Value& record : records_) {
        if (filter.Matches(record))
            list.append(record);
    }
    return list;
}

std::size_t Journal::WaitFor(const JournalFilter& filter, std::size_t count, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    added_.wait_for(lock, timeout, [&] { return closed_ || CountLocked(filter) >= count; });
    return CountLocked(filter);
}

void Journal::Reset()
{
    std::lock_guard lock(mutex_);
    records_.clear();
    nextSeq_ = 1;
    std::error_code ignored;
    std::filesystem::remove_all(FilesDir(), ignored);
    std::filesystem::create_directories(FilesDir());
    OpenFileLocked(std::ios::trunc);
}

void Journal::Close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    added_.notify_all();
}

}  // namespace standin
