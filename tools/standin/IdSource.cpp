#include "tools/standin/IdSource.h"

namespace standin {

namespace {
constexpr std::uint64_t kFirstObjectId = 1000000000000101ULL;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
}  // namespace

IdSource::IdSource() : next_(kFirstObjectId), random_(std::random_device{}()) {}

std::string IdSource::NextObjectId()
{
    std::lock_guard lock(mutex_);
    return std::to_string(next_++);
}

std::string IdSource::RandomText(std::size_t length)
{
    std::lock_guard lock(mutex_);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kAlphabet) - 2);
    std::string text(length, ' ');
    for (char& c : text)
        c = kAlphabet[pick(random_)];
    return text;
}

void IdSource::Reset()
{
    std::lock_guard lock(mutex_);
    next_ = kFirstObjectId;
}

}  // namespace standin
