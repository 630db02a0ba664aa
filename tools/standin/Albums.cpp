#include "tools/standin/Albums.h"

#include <ctime>

namespace standin {

std::string GraphTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S+0000", &utc);
    return text;
}

Json::Value Album::ToJson() const
{
    Json::Value json;
    json["id"] = id;
    json["name"] = name;
    json["description"] = description;
    json["can_upload"] = canUpload;
    json["created_time"] = createdTime;
    json["count"] = photoCount;
    return json;
}

Albums::Albums(IdSource& ids, std::vector<AlbumSeed> seeds) : ids_(ids), seeds_(std::move(seeds)) { Reset(); }

Album Albums::Add(const std::string& name, const std::string& description, bool canUpload, std::string id)
{
    Album album{id.empty() ? ids_.NextObjectId() : std::move(id), name, description, canUpload, GraphTimeNow(), 0};
    std::lock_guard lock(mutex_);
    albums_.push_back(album);
    return album;
}

std::optional<Album> Albums::Find(const std::string& id) const
{
    std::lock_guard lock(mutex_);
    for (const Album& album : albums_) {
        if (album.id == id)
            return album;
    }
    return std::nullopt;
}

std::vector<Album> Albums::All() const
{
    std::lock_guard lock(mutex_);
    return albums_;
}

void Albums::CountPhoto(const std::string& id)
{
    std::lock_guard lock(mutex_);
    for (Album& album : albums_) {
        if (album.id == id)
            ++album.photoCount;
    }
}

void Albums::Clear()
{
    std::lock_guard lock(mutex_);
    albums_.clear();
}

void Albums::Reset()
{
    Clear();
    for (const AlbumSeed& seed : seeds_)
        Add(seed.name, "", seed.canUpload);
}

Json::Value Albums::ToJson() const
{
    Json::Value list(Json::arrayValue);
    for (const Album& album : All())
        list.append(album.ToJson());
    return list;
}

}  // namespace standin
