#pragma once
// Login sessions (the browser's session cookie) and the access tokens issued for them.
// A token dies with a logout; the fixed token of the command line never does, so that
// tests can run one job after another with it.

#include "tools/standin/IdSource.h"

#include <json/json.h>

#include <map>
#include <mutex>
#include <string>

namespace standin {

enum class TokenState { Valid, Unknown, LoggedOut };

const char* TokenStateName(TokenState state);

class Accounts {
public:
    explicit Accounts(IdSource& ids);

    std::string OpenSession();
    bool SessionOpen(const std::string& sessionId) const;
    void CloseSession(const std::string& sessionId);  // its tokens die with it

    std::string IssueToken(const std::string& sessionId);
    TokenState Check(const std::string& token, const std::string& fixedToken) const;
    std::string SessionOfToken(const std::string& token) const;
    void EndToken(const std::string& token);

    Json::Value ToJson() const;
    void Reset();

private:
    struct Token {
        std::string session;
        bool valid = true;
    };
    IdSource& ids_;
    mutable std::mutex mutex_;
    std::map<std::string, bool> sessions_;  // id -> open
    std::map<std::string, Token> tokens_;
};

}  // namespace standin
