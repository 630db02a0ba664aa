#include "tools/standin/GifRoutes.h"

#include "tools/standin/JsonText.h"
#include "tools/standin/ServiceState.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace standin {

namespace {

constexpr std::uintmax_t kMaxServedGifBytes = 64u << 20;

std::string Meta(ServiceState& state, int status, const std::string& message)
{
    return JsonObjectText()
        .Add("msg", message)
        .AddNumber("status", status)
        .Add("response_id", state.ids.RandomText(16))
        .Text();
}

Answer GifError(ServiceState& state, int status, const std::string& message)
{
    return Answer::Json(status,
                        JsonObjectText().AddRaw("data", "[]").AddRaw("meta", Meta(state, status, message)).Text());
}

Answer GifCreated(ServiceState& state, const std::string& id)
{
    return Answer::Json(200, JsonObjectText()
                                 .AddRaw("data", JsonObjectText().Add("id", id).Text())
                                 .AddRaw("meta", Meta(state, 200, "OK"))
                                 .Text());
}

bool IsGifId(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c); });
}

// "/media/<id>/giphy.gif" -> id; empty when the path is another one.
std::string MediaId(const std::string& path)
{
    const std::string prefix = "/media/", suffix = "/giphy.gif";
    if (path.size() <= prefix.size() + suffix.size() || !path.starts_with(prefix) || !path.ends_with(suffix))
        return {};
    const std::string id = path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
    return IsGifId(id) ? id : std::string();
}

const MultipartPart* FilePart(const MultipartBody& body)
{
    for (const MultipartPart& part : body.parts) {
        if (part.name == "file" && part.hasFilename)
            return &part;
    }
    return nullptr;
}

}  // namespace

void GifUploadRoutes::Handle(Exchange& exchange)
{
    const std::string& path = exchange.Request().path;
    const std::string prefix = "/v1/gifs/";
    if (path == "/v1/gifs" && exchange.Request().method == "POST")
        return Upload(exchange);
    if (exchange.Request().method == "GET" && path.starts_with(prefix) && IsGifId(path.substr(prefix.size())))
        return Info(exchange, path.substr(prefix.size()));
    exchange.SetKind("gif_other");
    exchange.Reply(GifError(exchange.State(), 404, "Not Found"));
}

void GifUploadRoutes::Upload(Exchange& exchange)
{
    ServiceState& state = exchange.State();
    const StandinConfig config = state.config.Get();
    exchange.SetKind("gif_upload");
    Json::Value& details = exchange.Details();
    if (config.discardUploads) {
        exchange.DiscardBody();
        details["discarded"] = true;
        return exchange.Reply(GifCreated(state, state.ids.RandomText(17)));
    }
    const MultipartBody& body = exchange.ReadMultipart();
    const auto apiKey = exchange.Param("api_key");
    details["apiKey"] = apiKey ? Json::Value(*apiKey) : Json::Value();
    const MultipartPart* file = FilePart(body);
    if (file) {
        details["filename"] = file->filename;
        details["contentType"] = file->contentType;
        details["size"] = Json::UInt64(file->size);
        details["file"] = file->file.string();
    }
    if (!apiKey || apiKey->empty())
        return exchange.Reply(Answer::Json(401, JsonObjectText().Add("message", "No API key found in request").Text()));
    if (*apiKey != config.gifApiKey)
        return exchange.Reply(
            Answer::Json(403, JsonObjectText().Add("message", "Invalid authentication credentials").Text()));
    if (!file || file->size == 0 || !body.complete)
        return exchange.Reply(GifError(state, 400, "Please supply a file upload or a 'source_image_url'"));
    const std::string id = state.ids.RandomText(17);
    details["gifId"] = id;
    if (exchange.MayChangeState())
        state.gifs.Add(id, file->file);
    exchange.Reply(GifCreated(state, id));
}

void GifUploadRoutes::Info(Exchange& exchange, const std::string& id)
{
    ServiceState& state = exchange.State();
    exchange.SetKind("gif_info");
    exchange.Details()["gifId"] = id;
    if (!state.gifs.Find(id))
        return exchange.Reply(GifError(state, 404, "Not Found"));
    const std::string media =
        (state.urls.count("gif-media") ? state.urls.at("gif-media") : "") + "/media/" + id + "/giphy.gif";
    const std::string images = JsonObjectText().AddRaw("original", JsonObjectText().Add("url", media).Text()).Text();
    const std::string data = JsonObjectText().Add("type", "gif").Add("id", id).AddRaw("images", images).Text();
    exchange.Reply(
        Answer::Json(200, JsonObjectText().AddRaw("data", data).AddRaw("meta", Meta(state, 200, "OK")).Text()));
}

void GifMediaRoutes::Handle(Exchange& exchange)
{
    exchange.SetKind("gif_media");
    const Answer missing = Answer::Html(404, "Not Found");
    const std::string id = MediaId(exchange.Request().path);
    if (id.empty())
        return exchange.Reply(missing);
    exchange.Details()["gifId"] = id;
    const auto file = exchange.State().gifs.Find(id);
    std::error_code error;
    if (!file || std::filesystem::file_size(*file, error) > kMaxServedGifBytes || error)
        return exchange.Reply(missing);
    std::ifstream in(*file, std::ios::binary);
    Answer answer;
    answer.contentType = "image/gif";
    answer.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    answer.headers.emplace_back("Cache-Control", "max-age=86400");
    exchange.Details()["size"] = Json::UInt64(answer.body.size());
    exchange.Reply(answer);
}

}  // namespace standin
