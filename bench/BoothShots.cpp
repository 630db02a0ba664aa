#include "bench/BoothShots.h"

#include <fstream>

namespace booth {

namespace {

constexpr int kFaultEvery = 7;
constexpr int kKinds = 5;
constexpr int kFaults = 4;

std::string MediaBytes(const std::string& prefix, std::size_t size, int seed)
{
    std::string bytes = prefix;
    for (std::size_t i = 0; bytes.size() < size; ++i)
        bytes += static_cast<char>((i * 31 + static_cast<std::size_t>(seed) * 7 + i / 251) % 256);
    return bytes;
}

// The request that carries the shot's upload, told apart by host and method; a new
// album's creation comes first on the same host.
Json::Value UploadRequestMatch(ShotKind kind)
{
    Json::Value rule;
    rule["method"] = "POST";
    rule["times"] = 1;
    switch (kind) {
    case ShotKind::PhotoNewAlbum: rule["skip"] = 1; [[fallthrough]];
    case ShotKind::PhotoExistingAlbum:
    case ShotKind::Link: rule["host"] = "graph"; break;
    case ShotKind::Video: rule["host"] = "video"; break;
    case ShotKind::Gif: rule["host"] = "gif-upload"; break;
    }
    return rule;
}

}  // namespace

Shot ShotNumber(int number)
{
    Shot shot;
    shot.number = number;
    shot.kind = static_cast<ShotKind>((number - 1) % kKinds);
    if (number % kFaultEvery == 0)
        shot.fault = static_cast<Fault>((number / kFaultEvery - 1) % kFaults);
    return shot;
}

const char* KindName(ShotKind kind)
{
    switch (kind) {
    case ShotKind::PhotoExistingAlbum: return "photo-album";
    case ShotKind::PhotoNewAlbum: return "photo-new";
    case ShotKind::Video: return "video";
    case ShotKind::Gif: return "gif";
    case ShotKind::Link: break;
    }
    return "link";
}

const char* FaultName(Fault fault)
{
    switch (fault) {
    case Fault::HtmlServerError: return "500-html";
    case Fault::GraphError: return "graph-error";
    case Fault::DroppedMidUpload: return "dropped";
    case Fault::StallPastTimeout: break;
    }
    return "stall";
}

std::optional<std::filesystem::path> WriteMedia(const Shot& shot, const std::filesystem::path& folder)
{
    std::string name;
    std::string bytes;
    switch (shot.kind) {
    case ShotKind::PhotoExistingAlbum:
    case ShotKind::PhotoNewAlbum:
        name = "shot.jpg";
        bytes = MediaBytes("\xFF\xD8\xFF\xE0", 300'000 + shot.number * 101, shot.number);
        break;
    case ShotKind::Video:
        name = "clip.mp4";
        bytes = MediaBytes(std::string("\x00\x00\x00\x18", 4) + "ftypmp42", 1'500'000 + shot.number * 77, shot.number);
        break;
    case ShotKind::Gif:
        name = "loop.gif";
        bytes = MediaBytes("GIF89a", 400'000 + shot.number * 13, shot.number);
        break;
    case ShotKind::Link: return std::nullopt;
    }
    const std::filesystem::path path = folder / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
}

std::vector<std::string> Arguments(const Shot& shot, const std::optional<std::filesystem::path>& media)
{
    const std::string number = std::to_string(shot.number);
    std::vector<std::string> arguments{"-x100",   "-y1", "-w800", "-h600", "-uguest" + number + "@example.com",
                                       "-psecret"};
    switch (shot.kind) {
    case ShotKind::PhotoExistingAlbum: arguments.push_back(std::string("-a") + kExistingAlbum); break;
    case ShotKind::PhotoNewAlbum:
        arguments.push_back("-aShot " + number);
        arguments.push_back("-dThe album of shot " + number);
        break;
    case ShotKind::Link: arguments.push_back("-Uhttps://example.com/booth/" + number); break;
    case ShotKind::Video:
    case ShotKind::Gif: break;
    }
    arguments.push_back("-bShot " + number + " of the day");
    if (media)
        arguments.push_back("-f" + media->string());
    return arguments;
}

Json::Value FaultRule(const Shot& shot)
{
    if (!shot.fault)
        return Json::Value();
    Json::Value rule = UploadRequestMatch(shot.kind);
    switch (*shot.fault) {
    case Fault::HtmlServerError:
        rule["status"] = 503;
        rule["contentType"] = "text/html";
        rule["body"] = "<html><body><h1>Service Unavailable</h1></body></html>";
        break;
    case Fault::GraphError: {
        Json::Value error;
        error["message"] = "(#200) Permissions error";
        error["type"] = "OAuthException";
        error["code"] = 200;
        rule["status"] = 400;
        rule["json"]["error"] = error;
        break;
    }
    case Fault::DroppedMidUpload: rule["dropAfterBodyBytes"] = 40; break;
    case Fault::StallPastTimeout:
        // Past the program's 30 s send and receive limits.
        rule["stallAfterBodyBytes"] = 40;
        rule["stallMs"] = 45'000;
        break;
    }
    return rule;
}

std::string ExpectedTitle(const Shot& shot) { return shot.fault ? "(error:" : "(upload ok)"; }

std::string UploadKind(ShotKind kind)
{
    switch (kind) {
    case ShotKind::PhotoExistingAlbum:
    case ShotKind::PhotoNewAlbum: return "photo";
    case ShotKind::Video: return "video";
    case ShotKind::Gif: return "gif_upload";
    case ShotKind::Link: break;
    }
    return "";
}

}  // namespace booth
