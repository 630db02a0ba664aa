#include "tools/standin/GifStore.h"

namespace standin {

void GifStore::Add(const std::string& id, const std::filesystem::path& file)
{
    std::lock_guard lock(mutex_);
    gifs_[id] = file;
}

std::optional<std::filesystem::path> GifStore::Find(const std::string& id) const
{
    std::lock_guard lock(mutex_);
    const auto it = gifs_.find(id);
    if (it == gifs_.end())
        return std::nullopt;
    return it->second;
}

void GifStore::Reset()
{
    std::lock_guard lock(mutex_);
    gifs_.clear();
}

}  // namespace standin
