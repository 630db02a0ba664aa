#include "tools/standin/GraphRoutes.h"

#include "tools/standin/GraphAnswers.h"
#include "tools/standin/JsonText.h"
#include "tools/standin/ServiceState.h"

#include <algorithm>

namespace standin {

namespace {

// "/v2.12/me/albums" -> "/me/albums"; a path without a version stays as it is.
std::string WithoutVersion(const std::string& path)
{
    if (!path.starts_with("/v"))
        return path;
    const std::size_t end = std::min(path.find('/', 1), path.size());
    const std::string version = path.substr(2, end - 2);
    const std::size_t dot = version.find('.');
    const bool numeric = dot != std::string::npos && dot > 0 && dot + 1 < version.size() &&
                         version.find_first_not_of("0123456789.") == std::string::npos &&
                         version.find('.', dot + 1) == std::string::npos;
    return numeric ? path.substr(end) : path;
}

std::vector<std::string> Segments(const std::string& path)
{
    const std::string unversioned = WithoutVersion(path);
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start < unversioned.size()) {
        std::size_t end = unversioned.find('/', start);
        if (end == std::string::npos)
            end = unversioned.size();
        if (end > start)
            segments.push_back(unversioned.substr(start, end - start));
        start = end + 1;
    }
    return segments;
}

std::string JoinRest(const std::vector<std::string>& rest)
{
    std::string joined;
    for (const std::string& segment : rest)
        joined += "/" + segment;
    return joined;
}

std::vector<std::string> SplitFields(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::string AlbumEntry(const Album& album)
{
    return JsonObjectText()
        .Add("created_time", album.createdTime)
        .Add("name", album.name)
        .Add("id", album.id)
        .AddBool("can_upload", album.canUpload)
        .Text();
}

void RecordFile(Json::Value& details, const MultipartPart* file)
{
    if (!file)
        return;
    details["fileField"] = file->name;
    details["filename"] = file->filename;
    details["contentType"] = file->contentType;
    details["size"] = Json::UInt64(file->size);
    details["file"] = file->file.string();
}

}  // namespace

void GraphRoutes::Handle(Exchange& exchange)
{
    std::vector<std::string> segments = Segments(exchange.Request().path);
    Call call{exchange, exchange.State().config.Get(), "", {}};
    if (!segments.empty()) {
        call.node = segments.front();
        call.rest.assign(segments.begin() + 1, segments.end());
    }
    const std::string method = exchange.Request().method == "HEAD" ? "GET" : exchange.Request().method;
    const std::string edge = call.rest.size() == 1 ? call.rest.front() : "";
    const bool get = method == "GET", post = method == "POST";

    if (get && !call.node.empty() && call.rest.empty())
        return call.node == "me" ? Me(call) : GetObject(call);
    if (get && edge == "albums")
        return ListAlbums(call);
    if (post && edge == "albums")
        return CreateAlbum(call);
    if (post && edge == "photos")
        return UploadPhoto(call);
    if (post && edge == "videos")
        return UploadVideo(call);
    if (post && edge == "feed")
        return PostToFeed(call);

    exchange.SetKind("graph_other");
    exchange.DiscardBody();
    if (call.node.empty() || (!call.UserNode() && call.rest.empty()))
        return Fail(call, UnsupportedRequest(method, call.node));
    Fail(call, UnknownPath(JoinRest(call.rest)));
}

void GraphRoutes::Fail(Call& call, const GraphErrorSpec& error)
{
    call.exchange.Details()["error"] = error.message;
    call.exchange.Reply(GraphError(call.exchange.State().ids, error));
}

bool GraphRoutes::Authorised(Call& call)
{
    const std::string token = call.exchange.AccessToken();
    Json::Value& details = call.exchange.Details();
    details["token"] = token;
    if (token.empty()) {
        details["tokenState"] = "missing";
        Fail(call, call.UserNode() ? NoTokenForMe() : NoTokenForObject());
        return false;
    }
    const TokenState state = call.exchange.State().accounts.Check(token, call.config.fixedToken);
    details["tokenState"] = TokenStateName(state);
    if (state == TokenState::Valid)
        return true;
    Fail(call, state == TokenState::LoggedOut ? LoggedOutToken() : InvalidToken());
    return false;
}

void GraphRoutes::Me(Call& call)
{
    call.exchange.SetKind("me");
    if (!Authorised(call))
        return;
    const auto requested = call.exchange.Param("fields");
    call.exchange.Details()["fields"] = requested.value_or("");
    const std::string& name = call.config.userName;
    const std::string first = name.substr(0, name.find(' '));
    const std::string last = name.find(' ') == std::string::npos ? "" : name.substr(name.rfind(' ') + 1);
    JsonObjectText body;
    bool hasId = false;
    for (const std::string& field : SplitFields(requested.value_or("name,id"))) {
        if (field == "id") {
            body.Add("id", call.config.userId);
            hasId = true;
        } else if (field == "name")
            body.Add("name", name);
        else if (field == "first_name")
            body.Add("first_name", first);
        else if (field == "last_name")
            body.Add("last_name", last);
        else if (field == "short_name")
            body.Add("short_name", first);
        else if (field == "email")
            body.Add("email", call.config.email.empty() ? "guest@example.com" : call.config.email);
        else
            return Fail(call, NonexistingField(field));
    }
    if (!hasId)
        body.Add("id", call.config.userId);
    call.exchange.Reply(GraphSuccess(call.exchange.State().ids, body.Text()));
}

void GraphRoutes::ListAlbums(Call& call)
{
    call.exchange.SetKind("albums_list");
    if (!call.UserNode())
        return Fail(call, UnsupportedRequest("GET", call.node));
    if (!Authorised(call))
        return;
    const std::vector<Album> albums = call.exchange.State().albums.All();
    int limit = call.config.albumPageSize;
    if (const auto asked = call.exchange.Param("limit"))
        limit = std::max(1, std::atoi(asked->c_str()));
    std::size_t first = 0;
    if (const auto after = call.exchange.Param("after")) {
        const std::string id = DecodeCursor(*after);
        for (std::size_t i = 0; i < albums.size(); ++i) {
            if (albums[i].id == id)
                first = i + 1;
        }
    }
    const std::size_t end = std::min(albums.size(), first + static_cast<std::size_t>(limit));
    std::string data;
    for (std::size_t i = first; i < end; ++i)
        data += (data.empty() ? "" : ",") + AlbumEntry(albums[i]);
    JsonObjectText body;
    body.AddRaw("data", "[" + data + "]");
    if (end > first) {
        JsonObjectText cursors;
        cursors.Add("before", EncodeCursor(albums[first].id)).Add("after", EncodeCursor(albums[end - 1].id));
        JsonObjectText paging;
        paging.AddRaw("cursors", cursors.Text());
        if (end < albums.size()) {
            const auto& urls = call.exchange.State().urls;
            const std::string base = urls.count(call.exchange.Host()) ? urls.at(call.exchange.Host()) : "";
            paging.Add("next", base + "/v2.12/" + call.config.userId + "/albums?access_token=" +
                                   EncodeComponent(call.exchange.AccessToken()) + "&limit=" + std::to_string(limit) +
                                   "&after=" + EncodeComponent(EncodeCursor(albums[end - 1].id)));
        }
        body.AddRaw("paging", paging.Text());
    }
    call.exchange.Details()["count"] = static_cast<int>(end - first);
    call.exchange.Reply(GraphSuccess(call.exchange.State().ids, body.Text()));
}

void GraphRoutes::CreateAlbum(Call& call)
{
    call.exchange.SetKind("album_create");
    call.exchange.ReadForm();
    if (!call.UserNode())
        return Fail(call, UnsupportedRequest("POST", call.node));
    if (!Authorised(call))
        return;
    const auto name = call.exchange.Param("name");
    const auto message = call.exchange.Param("message");
    Json::Value& details = call.exchange.Details();
    details["name"] = name ? Json::Value(*name) : Json::Value();
    details["message"] = message ? Json::Value(*message) : Json::Value();
    if (!name || name->empty())
        return Fail(call, {400, "(#100) The parameter name is required", "OAuthException", 100, {}});
    std::string id = call.exchange.State().ids.NextObjectId();
    if (call.exchange.MayChangeState())
        id = call.exchange.State().albums.Add(*name, message.value_or(""), true, id).id;
    details["albumId"] = id;
    call.exchange.Reply(GraphSuccess(call.exchange.State().ids, JsonObjectText().Add("id", id).Text()));
}

void GraphRoutes::UploadPhoto(Call& call)
{
    Exchange& exchange = call.exchange;
    ServiceState& state = exchange.State();
    exchange.SetKind("photo");
    Json::Value& details = exchange.Details();
    details["albumId"] = call.node;
    if (call.config.discardUploads) {
        exchange.DiscardBody();
        details["discarded"] = true;
        const std::string id = state.ids.NextObjectId();
        return exchange.Reply(GraphSuccess(
            state.ids, JsonObjectText().Add("id", id).Add("post_id", call.config.userId + "_" + id).Text()));
    }
    const MultipartBody& body = exchange.ReadMultipart();
    const auto caption = body.Field("caption");
    details["caption"] = caption ? Json::Value(*caption) : Json::Value();
    const MultipartPart* file = body.FirstFile();
    RecordFile(details, file);
    if (!Authorised(call))
        return;
    std::optional<Album> album;
    if (!call.UserNode()) {
        album = state.albums.Find(call.node);
        if (!album)
            return Fail(call, UnsupportedRequest("POST", call.node));
        if (!album->canUpload)
            return Fail(call, {400, "(#120) Invalid album id", "OAuthException", 120, {}});
    }
    if (!file || file->size == 0 || !body.complete)
        return Fail(call, {400, "(#324) Requires upload file", "OAuthException", 324, {}});
    const std::string id = state.ids.NextObjectId();
    if (exchange.MayChangeState() && album)
        state.albums.CountPhoto(album->id);
    details["photoId"] = id;
    exchange.Reply(
        GraphSuccess(state.ids, JsonObjectText().Add("id", id).Add("post_id", call.config.userId + "_" + id).Text()));
}

void GraphRoutes::UploadVideo(Call& call)
{
    Exchange& exchange = call.exchange;
    ServiceState& state = exchange.State();
    exchange.SetKind("video");
    Json::Value& details = exchange.Details();
    details["userId"] = call.node;
    const GraphErrorSpec badFile{
        400,
        "(#6000) There was a problem uploading your video file. Please try again with another file.",
        "OAuthException",
        6000,
        {}};
    if (call.config.discardUploads) {
        exchange.DiscardBody();
        details["discarded"] = true;
        if (!videoHost_)
            return Fail(call, badFile);
        return exchange.Reply(GraphSuccess(state.ids, JsonObjectText().Add("id", state.ids.NextObjectId()).Text()));
    }
    const MultipartBody& body = exchange.ReadMultipart();
    const auto description = body.Field("description");
    details["description"] = description ? Json::Value(*description) : Json::Value();
    const MultipartPart* file = body.FirstFile();
    RecordFile(details, file);
    if (!call.UserNode())
        return Fail(call, UnsupportedRequest("POST", call.node));
    if (!Authorised(call))
        return;
    // Video files are taken on the video host only.
    if (!videoHost_) {
        details["error"] = "video uploads go to the video host";
        return Fail(call, badFile);
    }
    if (!file || file->size == 0 || !body.complete)
        return Fail(call, badFile);
    const std::string id = state.ids.NextObjectId();
    details["videoId"] = id;
    exchange.Reply(GraphSuccess(state.ids, JsonObjectText().Add("id", id).Text()));
}

void GraphRoutes::PostToFeed(Call& call)
{
    Exchange& exchange = call.exchange;
    exchange.SetKind("post");
    exchange.ReadForm();
    if (!call.UserNode())
        return Fail(call, UnsupportedRequest("POST", call.node));
    if (!Authorised(call))
        return;
    const auto link = exchange.Param("link");
    const auto message = exchange.Param("message");
    Json::Value& details = exchange.Details();
    details["link"] = link ? Json::Value(*link) : Json::Value();
    details["message"] = message ? Json::Value(*message) : Json::Value();
    if ((!link || link->empty()) && (!message || message->empty()))
        return Fail(call, {400, "(#100) Missing message or attachment", "OAuthException", 100, {}});
    const std::string id = call.config.userId + "_" + exchange.State().ids.NextObjectId();
    details["postId"] = id;
    exchange.Reply(GraphSuccess(exchange.State().ids, JsonObjectText().Add("id", id).Text()));
}

void GraphRoutes::GetObject(Call& call)
{
    call.exchange.SetKind("object");
    if (!Authorised(call))
        return;
    const std::optional<Album> album = call.exchange.State().albums.Find(call.node);
    if (call.node == call.config.userId)
        return call.exchange.Reply(GraphSuccess(
            call.exchange.State().ids, JsonObjectText().Add("name", call.config.userName).Add("id", call.node).Text()));
    if (!album)
        return Fail(call, UnsupportedRequest("GET", call.node));
    JsonObjectText body;
    body.Add("created_time", album->createdTime).Add("name", album->name).Add("id", album->id);
    body.AddBool("can_upload", album->canUpload).AddNumber("count", album->photoCount);
    if (!album->description.empty())
        body.Add("description", album->description);
    call.exchange.Reply(GraphSuccess(call.exchange.State().ids, body.Text()));
}

}  // namespace standin
