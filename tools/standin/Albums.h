#pragma once
// The user's photo albums, listed in the order they were made (pre-created ones first),
// so that tests control which of two albums of one name comes last.

#include "tools/standin/IdSource.h"

#include <json/json.h>

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace standin {

struct Album {
    std::string id;
    std::string name;
    std::string description;
    bool canUpload = true;
    std::string createdTime;  // "2018-03-01T10:00:00+0000"
    int photoCount = 0;

    Json::Value ToJson() const;
};

struct AlbumSeed {
    std::string name;
    bool canUpload = true;
};

class Albums {
public:
    Albums(IdSource& ids, std::vector<AlbumSeed> seeds);

    // An empty id gets a new one.
    Album Add(const std::string& name, const std::string& description, bool canUpload, std::string id = {});
    std::optional<Album> Find(const std::string& id) const;
    std::vector<Album> All() const;
    void CountPhoto(const std::string& id);
    void Clear();
    void Reset();  // back to the seeds of the command line
    Json::Value ToJson() const;

private:
    IdSource& ids_;
    const std::vector<AlbumSeed> seeds_;
    mutable std::mutex mutex_;
    std::vector<Album> albums_;
};

std::string GraphTimeNow();  // the Graph API's time format, in UTC

}  // namespace standin
