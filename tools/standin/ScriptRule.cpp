#include "tools/standin/ScriptRule.h"

#include <set>

namespace standin {

namespace {

const std::set<std::string>& KnownMembers()
{
    static const std::set<std::string> members = {"host",
                                                  "method",
                                                  "path",
                                                  "queryContains",
                                                  "skip",
                                                  "times",
                                                  "status",
                                                  "body",
                                                  "json",
                                                  "contentType",
                                                  "headers",
                                                  "rawAnswer",
                                                  "reason",
                                                  "idAsNumber",
                                                  "padBodyTo",
                                                  "endlessBody",
                                                  "delayMs",
                                                  "dropAnswerAfterBytes",
                                                  "dropBeforeAnswer",
                                                  "resetBeforeAnswer",
                                                  "dropAfterBodyBytes",
                                                  "stallAfterBodyBytes",
                                                  "stallMs",
                                                  "bodyBytesPerSecond"};
    return members;
}

std::string Serialise(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

class Reader {
public:
    Reader(const Json::Value& json, std::string& error) : json_(json), error_(error) {}

    void Text(const char* name, std::string& out)
    {
        if (!Has(name))
            return;
        if (!json_[name].isString())
            return Fail(name, "a string");
        out = json_[name].asString();
    }
    void Text(const char* name, std::optional<std::string>& out)
    {
        std::string value;
        if (!Has(name))
            return;
        Text(name, value);
        out = value;
    }
    void Int(const char* name, int& out)
    {
        if (!Has(name))
            return;
        if (!json_[name].isInt())
            return Fail(name, "an integer");
        out = json_[name].asInt();
    }
    void Int(const char* name, std::optional<int>& out)
    {
        int value = 0;
        if (!Has(name))
            return;
        Int(name, value);
        out = value;
    }
    void Count(const char* name, std::uint64_t& out)
    {
        if (!Has(name))
            return;
        if (!json_[name].isUInt64())
            return Fail(name, "a count of bytes");
        out = json_[name].asUInt64();
    }
    void Count(const char* name, std::optional<std::uint64_t>& out)
    {
        std::uint64_t value = 0;
        if (!Has(name))
            return;
        Count(name, value);
        out = value;
    }
    void Flag(const char* name, bool& out)
    {
        if (!Has(name))
            return;
        if (!json_[name].isBool())
            return Fail(name, "true or false");
        out = json_[name].asBool();
    }

private:
    bool Has(const char* name) const { return json_.isMember(name); }
    void Fail(const char* name, const char* what)
    {
        if (error_.empty())
            error_ = std::string("\"") + name + "\" must be " + what;
    }

    const Json::Value& json_;
    std::string& error_;
};

}  // namespace

bool ScriptRule::Overrides() const { return status || body || rawAnswer || dropBeforeAnswer || resetBeforeAnswer; }

bool ScriptRule::Matches(const std::string& requestHost, const std::string& requestMethod,
                         const std::string& requestPath, const std::string& query) const
{
    if (host != "*" && host != requestHost)
        return false;
    if (!method.empty() && method != requestMethod)
        return false;
    if (!queryContains.empty() && query.find(queryContains) == std::string::npos)
        return false;
    if (path.empty())
        return true;
    if (path.back() == '*')
        return requestPath.starts_with(path.substr(0, path.size() - 1));
    return requestPath == path;
}

ScriptRule ScriptRule::FromJson(const Json::Value& json, std::string& error)
{
    ScriptRule rule;
    if (!json.isObject()) {
        error = "a rule must be a JSON object";
        return rule;
    }
    for (const std::string& name : json.getMemberNames()) {
        if (!KnownMembers().count(name)) {
            error = "unknown member \"" + name + "\"";
            return rule;
        }
    }
    Reader read(json, error);
    read.Text("host", rule.host);
    read.Text("method", rule.method);
    read.Text("path", rule.path);
    read.Text("queryContains", rule.queryContains);
    read.Int("skip", rule.skip);
    read.Int("times", rule.times);
    read.Int("status", rule.status);
    read.Text("body", rule.body);
    if (json.isMember("json"))
        rule.body = Serialise(json["json"]);
    read.Text("contentType", rule.contentType);
    read.Text("rawAnswer", rule.rawAnswer);
    read.Text("reason", rule.reason);
    read.Flag("idAsNumber", rule.idAsNumber);
    read.Count("padBodyTo", rule.padBodyTo);
    read.Flag("endlessBody", rule.endlessBody);
    read.Int("delayMs", rule.delayMs);
    read.Count("dropAnswerAfterBytes", rule.dropAnswerAfterBytes);
    read.Flag("dropBeforeAnswer", rule.dropBeforeAnswer);
    read.Flag("resetBeforeAnswer", rule.resetBeforeAnswer);
    read.Count("dropAfterBodyBytes", rule.dropAfterBodyBytes);
    read.Count("stallAfterBodyBytes", rule.stallAfterBodyBytes);
    read.Int("stallMs", rule.stallMs);
    read.Count("bodyBytesPerSecond", rule.bodyBytesPerSecond);
    if (json.isMember("headers")) {
        const Json::Value& headers = json["headers"];
        if (!headers.isObject()) {
            error = "\"headers\" must be an object of strings";
            return rule;
        }
        for (const std::string& name : headers.getMemberNames()) {
            if (!headers[name].isString())
                error = "\"headers\" must be an object of strings";
            else
                rule.headers.emplace_back(name, headers[name].asString());
        }
    }
    if (error.empty() && rule.status && (*rule.status < 100 || *rule.status > 999))
        error = "\"status\" must be a three-digit number";
    if (error.empty() && (rule.delayMs < 0 || rule.stallMs < 0 || rule.skip < 0))
        error = "\"delayMs\", \"stallMs\" and \"skip\" cannot be negative";
    if (error.empty() && rule.times == 0)
        error = "\"times\" must be positive, or -1 for every request";
    return rule;
}

Json::Value ScriptRule::ToJson() const
{
    Json::Value json;
    json["host"] = host;
    if (!method.empty())
        json["method"] = method;
    if (!path.empty())
        json["path"] = path;
    if (!queryContains.empty())
        json["queryContains"] = queryContains;
    if (skip)
        json["skip"] = skip;
    json["times"] = times;
    if (status)
        json["status"] = *status;
    if (body)
        json["body"] = *body;
    if (contentType)
        json["contentType"] = *contentType;
    for (const auto& [name, value] : headers)
        json["headers"][name] = value;
    if (rawAnswer)
        json["rawAnswer"] = *rawAnswer;
    if (reason)
        json["reason"] = *reason;
    if (idAsNumber)
        json["idAsNumber"] = true;
    if (padBodyTo)
        json["padBodyTo"] = Json::UInt64(padBodyTo);
    if (endlessBody)
        json["endlessBody"] = true;
    if (delayMs)
        json["delayMs"] = delayMs;
    if (dropAnswerAfterBytes)
        json["dropAnswerAfterBytes"] = Json::UInt64(*dropAnswerAfterBytes);
    if (dropBeforeAnswer)
        json["dropBeforeAnswer"] = true;
    if (resetBeforeAnswer)
        json["resetBeforeAnswer"] = true;
    if (dropAfterBodyBytes)
        json["dropAfterBodyBytes"] = Json::UInt64(*dropAfterBodyBytes);
    if (stallAfterBodyBytes) {
        json["stallAfterBodyBytes"] = Json::UInt64(*stallAfterBodyBytes);
        json["stallMs"] = stallMs;
    }
    if (bodyBytesPerSecond)
        json["bodyBytesPerSecond"] = Json::UInt64(bodyBytesPerSecond);
    return json;
}

}  // namespace standin
