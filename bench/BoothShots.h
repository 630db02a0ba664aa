#pragma once
// What a booth day shoots: the kinds in turn, a scripted fault on every 7th shot, the
// command line a host gives zendrik2 for each, and the title it should end on.

#include <json/json.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace booth {

enum class ShotKind { PhotoExistingAlbum, PhotoNewAlbum, Video, Gif, Link };
enum class Fault { HtmlServerError, GraphError, DroppedMidUpload, StallPastTimeout };

inline constexpr const char* kExistingAlbum = "Booth day";

struct Shot {
    int number = 0;  // from 1
    ShotKind kind = ShotKind::PhotoExistingAlbum;
    std::optional<Fault> fault;
};

Shot ShotNumber(int number);
const char* KindName(ShotKind kind);
const char* FaultName(Fault fault);

// The media file the shot uploads (none for a link), written under `folder`.
std::optional<std::filesystem::path> WriteMedia(const Shot& shot, const std::filesystem::path& folder);
std::vector<std::string> Arguments(const Shot& shot, const std::optional<std::filesystem::path>& media);
// The stand-in rule that breaks the shot's upload request; null for a good shot.
Json::Value FaultRule(const Shot& shot);
// What the final title holds: "(upload ok)", or the start of every failure's tag.
std::string ExpectedTitle(const Shot& shot);
// The record kind that carries the uploaded file; empty for a link.
std::string UploadKind(ShotKind kind);

}  // namespace booth
