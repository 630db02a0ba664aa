#pragma once
// GIFs received by the upload host, by id, for the media host to serve.

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace standin {

class GifStore {
public:
    void Add(const std::string& id, const std::filesystem::path& file);
    std::optional<std::filesystem::path> Find(const std::string& id) const;
    void Reset();

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::filesystem::path> gifs_;
};

}  // namespace standin
