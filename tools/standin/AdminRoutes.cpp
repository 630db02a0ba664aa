#include "tools/standin/AdminRoutes.h"

#include <algorithm>
#include <chrono>

namespace standin {

namespace {

constexpr long kMaxWaitMs = 10 * 60 * 1000;

void SendJson(httplib::Response& response, const Json::Value& json, int status = 200)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    builder["emitUTF8"] = true;
    response.status = status;
    response.set_content(Json::writeString(builder, json) + "\n", "application/json; charset=utf-8");
}

void SendError(httplib::Response& response, const std::string& message)
{
    Json::Value json;
    json["error"] = message;
    SendJson(response, json, 400);
}

bool ParseBody(const httplib::Request& request, httplib::Response& response, Json::Value& json)
{
    Json::Reader reader;
    try {
        if (reader.parse(request.body.empty() ? std::string("{}") : request.body, json))
            return true;
    } catch (const Json::Exception& e) {
        SendError(response, std::string("the body is not JSON: ") + e.what());
        return false;
    }
    SendError(response, "the body is not JSON: " + reader.getFormattedErrorMessages());
    return false;
}

Json::Value AsList(const Json::Value& value)
{
    if (value.isArray())
        return value;
    Json::Value list(Json::arrayValue);
    list.append(value);
    return list;
}

JournalFilter FilterOf(const httplib::Request& request)
{
    JournalFilter filter;
    std::string kinds = request.get_param_value("kind");
    std::size_t start = 0;
    while (start < kinds.size()) {
        std::size_t end = kinds.find(',', start);
        if (end == std::string::npos)
            end = kinds.size();
        if (end > start)
            filter.kinds.insert(kinds.substr(start, end - start));
        start = end + 1;
    }
    filter.host = request.get_param_value("host");
    if (request.has_param("since"))
        filter.since = std::strtoull(request.get_param_value("since").c_str(), nullptr, 10);
    return filter;
}

void AddRules(ServiceState& state, const httplib::Request& request, httplib::Response& response)
{
    Json::Value body;
    if (!ParseBody(request, response, body))
        return;
    const bool listed = body.isObject() && body.isMember("rules");
    const Json::Value rules = listed ? body["rules"] : body;
    std::vector<ScriptRule> parsed;
    for (const Json::Value& json : AsList(rules)) {
        std::string error;
        parsed.push_back(ScriptRule::FromJson(json, error));
        if (!error.empty())
            return SendError(response, error);
    }
    if (listed && body["replace"].asBool())
        state.script.Clear();
    for (ScriptRule& rule : parsed)
        state.script.Add(std::move(rule));
    Json::Value json;
    json["rules"] = state.script.ToJson();
    SendJson(response, json);
}

void AddAlbums(ServiceState& state, const httplib::Request& request, httplib::Response& response)
{
    Json::Value body;
    if (!ParseBody(request, response, body))
        return;
    const bool listed = body.isObject() && body.isMember("albums");
    const Json::Value albums = listed ? body["albums"] : body;
    const Json::Value list = AsList(albums);
    for (const Json::Value& album : list) {
        if (!album.isObject() || !album["name"].isString())
            return SendError(response, "an album needs a \"name\" string");
        if (album.isMember("can_upload") && !album["can_upload"].isBool())
            return SendError(response, "\"can_upload\" must be true or false");
        if (album.isMember("id") && !album["id"].isString())
            return SendError(response, "\"id\" must be a string");
    }
    if (listed && body["replace"].asBool())
        state.albums.Clear();
    Json::Value created(Json::arrayValue);
    for (const Json::Value& album : list) {
        created.append(state.albums
                           .Add(album["name"].asString(), album.get("description", "").asString(),
                                album.get("can_upload", true).asBool(), album.get("id", "").asString())
                           .ToJson());
    }
    Json::Value json;
    json["albums"] = created;
    SendJson(response, json);
}

const char* kHelp = "zendrik2-standin admin API (see tools/standin/README.md)\n"
                    "GET    /_admin/received?kind=K1,K2&host=H&since=SEQ\n"
                    "GET    /_admin/wait?kind=K&host=H&since=SEQ&count=N&timeoutMs=T\n"
                    "GET    /_admin/script    POST /_admin/script    DELETE /_admin/script\n"
                    "GET    /_admin/albums    POST /_admin/albums\n"
                    "GET    /_admin/config    POST /_admin/config\n"
                    "GET    /_admin/hosts     POST /_admin/hosts\n"
                    "POST   /_admin/token\n"
                    "GET    /_admin/state\n"
                    "POST   /_admin/reset\n";

}  // namespace

void InstallAdminRoutes(httplib::Server& server, ServiceState& state)
{
    auto help = [](const httplib::Request&, httplib::Response& response) { response.set_content(kHelp, "text/plain"); };
    server.Get("/", help);
    server.Get("/_admin", help);

    server.Get("/_admin/received", [&state](const httplib::Request& request, httplib::Response& response) {
        Json::Value json;
        json["requests"] = state.journal.Query(FilterOf(request));
        SendJson(response, json);
    });
    server.Get("/_admin/wait", [&state](const httplib::Request& request, httplib::Response& response) {
        const JournalFilter filter = FilterOf(request);
        const auto count = std::max<long>(1, std::atol(request.get_param_value("count").c_str()));
        const long timeout =
            request.has_param("timeoutMs") ? std::atol(request.get_param_value("timeoutMs").c_str()) : 10000;
        const std::size_t reached = state.journal.WaitFor(
            filter, static_cast<std::size_t>(count), std::chrono::milliseconds(std::clamp(timeout, 0L, kMaxWaitMs)));
        Json::Value json;
        json["count"] = static_cast<Json::UInt64>(reached);
        json["reached"] = reached >= static_cast<std::size_t>(count);
        json["requests"] = state.journal.Query(filter);
        SendJson(response, json);
    });

    server.Get("/_admin/script", [&state](const httplib::Request&, httplib::Response& response) {
        Json::Value json;
        json["rules"] = state.script.ToJson();
        SendJson(response, json);
    });
    server.Post("/_admin/script", [&state](const httplib::Request& request, httplib::Response& response) {
        AddRules(state, request, response);
    });
    server.Delete("/_admin/script", [&state](const httplib::Request&, httplib::Response& response) {
        state.script.Clear();
        Json::Value json;
        json["rules"] = Json::Value(Json::arrayValue);
        SendJson(response, json);
    });

    server.Get("/_admin/albums", [&state](const httplib::Request&, httplib::Response& response) {
        Json::Value json;
        json["albums"] = state.albums.ToJson();
        SendJson(response, json);
    });
    server.Post("/_admin/albums", [&state](const httplib::Request& request, httplib::Response& response) {
        AddAlbums(state, request, response);
    });

    server.Get("/_admin/config", [&state](const httplib::Request&, httplib::Response& response) {
        SendJson(response, state.config.Get().ToJson());
    });
    server.Post("/_admin/config", [&state](const httplib::Request& request, httplib::Response& response) {
        Json::Value body;
        std::string error;
        if (!ParseBody(request, response, body))
            return;
        if (!state.config.Apply(body, error))
            return SendError(response, error);
        SendJson(response, state.config.Get().ToJson());
    });

    server.Post("/_admin/token", [&state](const httplib::Request&, httplib::Response& response) {
        const std::string session = state.accounts.OpenSession();
        Json::Value json;
        json["access_token"] = state.accounts.IssueToken(session);
        json["expires_in"] = state.config.Get().tokenExpiresIn;
        json["session"] = session;
        SendJson(response, json);
    });

    server.Get("/_admin/state", [&state](const httplib::Request&, httplib::Response& response) {
        Json::Value json;
        json["albums"] = state.albums.ToJson();
        json["accounts"] = state.accounts.ToJson();
        json["config"] = state.config.Get().ToJson();
        json["dataDir"] = state.journal.DataDir().string();
        for (const auto& [name, url] : state.urls)
            json["urls"][name] = url;
        SendJson(response, json);
    });

    server.Get("/_admin/hosts", [&state](const httplib::Request&, httplib::Response& response) {
        SendJson(response, state.openHosts());
    });
    server.Post("/_admin/hosts", [&state](const httplib::Request& request, httplib::Response& response) {
        Json::Value body;
        if (!ParseBody(request, response, body))
            return;
        if (!body.isObject())
            return SendError(response, "expected {\"web\": false, ...}");
        for (const std::string& name : body.getMemberNames()) {
            std::string error;
            if (!body[name].isBool())
                return SendError(response, "\"" + name + "\" must be true or false");
            if (!state.setHostOpen(name, body[name].asBool(), error))
                return SendError(response, error);
        }
        SendJson(response, state.openHosts());
    });

    server.Post("/_admin/reset", [&state](const httplib::Request&, httplib::Response& response) {
        state.Reset();
        const Json::Value hosts = state.openHosts();
        for (const std::string& name : hosts.getMemberNames()) {
            std::string error;
            if (!hosts[name].asBool() && !state.setHostOpen(name, true, error))
                return SendError(response, error);
        }
        Json::Value json;
        json["ok"] = true;
        SendJson(response, json);
    });
}

}  // namespace standin
