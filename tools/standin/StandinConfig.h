#pragma once
// The switches of the service: set on the command line, changed at run time through
// POST /_admin/config, and put back to the command line's values by a reset.

#include <json/json.h>

#include <mutex>
#include <string>

namespace standin {

struct StandinConfig {
    // Accounts.
    std::string userName = "Ann Example";
    std::string userId = "100004242424242";
    std::string email;  // empty: every e-mail address is accepted
    std::string password = "secret";
    std::string fixedToken;  // always valid; a logout does not end it
    std::string appId;       // empty: any decimal client_id is accepted
    int tokenExpiresIn = 5400;

    // Login pages.
    bool autosubmit = false;  // the form submits itself once both fields are filled
    int autosubmitDelayMs = 800;
    bool closeWindow = false;       // the form page closes its window instead
    bool denyLogin = false;         // a good login is answered with the "access_denied" redirect
    bool logoutEndsSession = true;  // a logout with a token also ends the browser session
    bool logoutRedirect = false;    // the logout page answers 302 to "next" instead of 200

    // Graph and GIF service.
    int albumPageSize = 25;
    std::string gifApiKey = "Qv7mRtX2pLw9K";
    bool discardUploads = false;  // upload bodies are counted and thrown away unparsed

    Json::Value ToJson() const;
    // Applies the members present; empty error on success (nothing changes on failure).
    bool Apply(const Json::Value& json, std::string& error);
};

class ConfigStore {
public:
    explicit ConfigStore(StandinConfig initial) : initial_(initial), current_(std::move(initial)) {}

    StandinConfig Get() const;
    bool Apply(const Json::Value& json, std::string& error);
    void Reset();

private:
    const StandinConfig initial_;
    mutable std::mutex mutex_;
    StandinConfig current_;
};

}  // namespace standin
