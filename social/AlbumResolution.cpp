#include "social/AlbumResolution.h"

#include "social/ExceptionStyles.h"
#include "social/GraphClient.h"
#include "social/GraphOutcome.h"
#include "social/JsonStringToWide.h"
#include "social/ResponseReading.h"
#include "social/ServiceEndpoints.h"

namespace social {

namespace {

std::u16string AlbumsAddress() { return GraphApiBase() + u"me/albums"; }

std::u16string BytesAsUnits(const std::string& bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes)
        text.push_back(static_cast<unsigned char>(byte));
    return text;
}

// Every unit of a listing text came from one byte, so its low byte gives the byte back.
std::string UnitsAsBytes(const std::u16string& text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (const char16_t unit : text)
        bytes.push_back(static_cast<char>(unit & 0xFF));
    return bytes;
}

void AddListedAlbums(const Json::Value& data, AlbumMap& albums)
{
    for (Json::ArrayIndex i = 0; i < data.size(); ++i) {
        const Json::Value& album = data[i];
        const std::u16string id = JsonStringToWide(album["id"]);
        const std::u16string name = JsonStringToWide(album["name"]);
        // asBool raises for a string, an array or an object.
        const bool canUpload = album["can_upload"].asBool();
        albums[name] = canUpload ? id : id + ReadOnlyAlbumMark;
    }
}

std::u16string CreateAlbum(JobContext& job, const std::u16string& albumName, const std::u16string& description)
{
    job.AppendLog(u"Album does not exist, creating album...");
    job.SetStatusTag(u"(create album)");
    return RunAborting(job, u"Unexpected exception creating album", [&] {
        Tavik::CHttpClient client;
        ConfigureGraphClient(client, job);
        client.AddParam(u"name", albumName.c_str(), 0);
        if (!description.empty())
            client.AddParam(u"message", description.c_str(), 0);
        const ResponsePtr response(client.ExecutePost(AlbumsAddress().c_str()));
        if (!response)
            return std::u16string();
        ReadResponseHead(job, *response, ServerReturnedLine::UnlessOk);
        return ReadGraphOutcome(job, *response, {"id", u"Unknown error creating album"});
    });
}

}  // namespace

std::u16string ListAlbums(JobContext& job, AlbumMap& albums)
{
    return RunAborting(job, u"Unexpected exception listing albums", [&] {
        Tavik::CHttpClient client;
        ConfigureGraphClient(client, job);
        const ResponsePtr response(client.ExecuteGet(AlbumsAddress().c_str(), Tavik::DEFAULT_REQUEST_FLAGS));
        if (!response)
            return std::u16string();
        ReadResponseHead(job, *response, ServerReturnedLine::UnlessOk);
        const std::string body = ReadResponseBody(*response);
        std::u16string listing = BytesAsUnits(body);
        AddAlbumsFromListing(job, body, albums);
        return listing;
    });
}

void AddAlbumsFromListing(JobContext& job, const std::string& body, AlbumMap& albums)
{
    Json::Value root;
    if (!ParseResponseBody(body, root))
        return;
    const Json::Value& data = root["data"];
    const Json::Value& error = root["error"];
    if (!data.empty())
        AddListedAlbums(data, albums);
    else if (!error.empty())
        LogGraphError(job, error, u"Unknown error listing albums");
}

std::u16string FindOrCreateAlbum(JobContext& job, const std::u16string& albumName, const std::u16string& description)
{
    job.AppendLog(u"Checking whether album already exists...");
    AlbumMap albums;
    const std::u16string listing = ListAlbums(job, albums);
    if (listing.empty()) {
        job.AppendLog(u"Unknown error listing albums");
        return {};
    }
    Json::Value root;
    if (!ParseResponseBody(UnitsAsBytes(listing), root)) {
        job.AppendLog(u"Error parsing response from server");
        return {};
    }
    const Json::Value& error = root["error"];
    if (!error.empty()) {
        const Json::Value& message = error["message"];
        const std::u16string text = message.empty() ? std::u16string(u"Unknown error") : JsonStringToWide(message);
        job.AppendLog(u"Error: " + text);
        return {};
    }
    const auto found = albums.find(albumName);
    if (found != albums.end() && !found->second.empty()) {
        job.AppendLog(u"Album already exists");
        return found->second;
    }
    return CreateAlbum(job, albumName, description);
}

}  // namespace social
