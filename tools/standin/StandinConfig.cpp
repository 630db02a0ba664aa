#include "tools/standin/StandinConfig.h"

#include <functional>
#include <map>

namespace standin {

namespace {

using Setter = std::function<bool(StandinConfig&, const Json::Value&)>;

Setter TextMember(std::string StandinConfig::*member)
{
    return [member](StandinConfig& config, const Json::Value& value) {
        if (!value.isString())
            return false;
        config.*member = value.asString();
        return true;
    };
}

Setter FlagMember(bool StandinConfig::*member)
{
    return [member](StandinConfig& config, const Json::Value& value) {
        if (!value.isBool())
            return false;
        config.*member = value.asBool();
        return true;
    };
}

Setter CountMember(int StandinConfig::*member, int minimum)
{
    return [member, minimum](StandinConfig& config, const Json::Value& value) {
        if (!value.isInt() || value.asInt() < minimum)
            return false;
        config.*member = value.asInt();
        return true;
    };
}

const std::map<std::string, Setter>& Setters()
{
    static const std::map<std::string, Setter> setters = {
        {"userName", TextMember(&StandinConfig::userName)},
        {"userId", TextMember(&StandinConfig::userId)},
        {"email", TextMember(&StandinConfig::email)},
        {"password", TextMember(&StandinConfig::password)},
        {"fixedToken", TextMember(&StandinConfig::fixedToken)},
        {"appId", TextMember(&StandinConfig::appId)},
        {"tokenExpiresIn", CountMember(&StandinConfig::tokenExpiresIn, 0)},
        {"autosubmit", FlagMember(&StandinConfig::autosubmit)},
        {"autosubmitDelayMs", CountMember(&StandinConfig::autosubmitDelayMs, 0)},
        {"closeWindow", FlagMember(&StandinConfig::closeWindow)},
        {"denyLogin", FlagMember(&StandinConfig::denyLogin)},
        {"logoutEndsSession", FlagMember(&StandinConfig::logoutEndsSession)},
        {"logoutRedirect", FlagMember(&StandinConfig::logoutRedirect)},
        {"albumPageSize", CountMember(&StandinConfig::albumPageSize, 1)},
        {"gifApiKey", TextMember(&StandinConfig::gifApiKey)},
        {"discardUploads", FlagMember(&StandinConfig::discardUploads)},
    };
    return setters;
}

}  // namespace

Json::Value StandinConfig::ToJson() const
{
    Json::Value json;
    json["userName"] = userName;
    json["userId"] = userId;
    json["email"] = email;
    json["password"] = password;
    json["fixedToken"] = fixedToken;
    json["appId"] = appId;
    json["tokenExpiresIn"] = tokenExpiresIn;
    json["autosubmit"] = autosubmit;
    json["autosubmitDelayMs"] = autosubmitDelayMs;
    json["closeWindow"] = closeWindow;
    json["denyLogin"] = denyLogin;
    json["logoutEndsSession"] = logoutEndsSession;
    json["logoutRedirect"] = logoutRedirect;
    json["albumPageSize"] = albumPageSize;
    json["gifApiKey"] = gifApiKey;
    json["discardUploads"] = discardUploads;
    return json;
}

bool StandinConfig::Apply(const Json::Value& json, std::string& error)
{
    if (!json.isObject()) {
        error = "the configuration must be a JSON object";
        return false;
    }
    StandinConfig changed = *this;
    for (const std::string& name : json.getMemberNames()) {
        const auto setter = Setters().find(name);
        if (setter == Setters().end()) {
            error = "unknown switch \"" + name + "\"";
            return false;
        }
        if (!setter->second(changed, json[name])) {
            error = "bad value for \"" + name + "\"";
            return false;
        }
    }
    *this = changed;
    return true;
}

StandinConfig ConfigStore::Get() const
{
    std::lock_guard lock(mutex_);
    return current_;
}

bool ConfigStore::Apply(const Json::Value& json, std::string& error)
{
    std::lock_guard lock(mutex_);
    return current_.Apply(json, error);
}

void ConfigStore::Reset()
{
    std::lock_guard lock(mutex_);
    current_ = initial_;
}

}  // namespace standin
