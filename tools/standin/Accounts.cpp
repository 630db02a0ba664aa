#include "tools/standin/Accounts.h"

namespace standin {

const char* TokenStateName(TokenState state)
{
    switch (state) {
    case TokenState::Valid: return "valid";
    case TokenState::LoggedOut: return "logged_out";
    case TokenState::Unknown: break;
    }
    return "unknown";
}

Accounts::Accounts(IdSource& ids) : ids_(ids) {}

std::string Accounts::OpenSession()
{
    const std::string id = ids_.RandomText(32);
    std::lock_guard lock(mutex_);
    sessions_[id] = true;
    return id;
}

bool Accounts::SessionOpen(const std::string& sessionId) const
{
    std::lock_guard lock(mutex_);
    const auto it = sessions_.find(sessionId);
    return it != sessions_.end() && it->second;
}

void Accounts::CloseSession(const std::string& sessionId)
{
    std::lock_guard lock(mutex_);
    const auto it = sessions_.find(sessionId);
    if (it == sessions_.end())
        return;
    it->second = false;
    for (auto& [text, token] : tokens_) {
        if (token.session == sessionId)
            token.valid = false;
    }
}

std::string Accounts::IssueToken(const std::string& sessionId)
{
    // Long opaque letters and digits, like the real short-lived user tokens.
    const std::string token = "EAAG" + ids_.RandomText(160);
    std::lock_guard lock(mutex_);
    tokens_[token] = Token{sessionId, true};
    return token;
}

TokenState Accounts::Check(const std::string& token, const std::string& fixedToken) const
{
    if (!fixedToken.empty() && token == fixedToken)
        return TokenState::Valid;
    std::lock_guard lock(mutex_);
    const auto it = tokens_.find(token);
    if (it == tokens_.end())
        return TokenState::Unknown;
    return it->second.valid ? TokenState::Valid : TokenState::LoggedOut;
}

std::string Accounts::SessionOfToken(const std::string& token) const
{
    std::lock_guard lock(mutex_);
    const auto it = tokens_.find(token);
    return it == tokens_.end() ? std::string() : it->second.session;
}

void Accounts::EndToken(const std::string& token)
{
    std::lock_guard lock(mutex_);
    const auto it = tokens_.find(token);
    if (it != tokens_.end())
        it->second.valid = false;
}

Json::Value Accounts::ToJson() const
{
    std::lock_guard lock(mutex_);
    Json::Value json;
    json["sessions"] = Json::Value(Json::arrayValue);
    for (const auto& [id, open] : sessions_) {
        Json::Value session;
        session["id"] = id;
        session["open"] = open;
        json["sessions"].append(session);
    }
    json["tokens"] = Json::Value(Json::arrayValue);
    for (const auto& [text, token] : tokens_) {
        Json::Value entry;
        entry["token"] = text;
        entry["session"] = token.session;
        entry["valid"] = token.valid;
        json["tokens"].append(entry);
    }
    return json;
}

void Accounts::Reset()
{
    std::lock_guard lock(mutex_);
    sessions_.clear();
    tokens_.clear();
}

}  // namespace standin
