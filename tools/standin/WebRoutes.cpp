#include "tools/standin/WebRoutes.h"

#include "tools/standin/ServiceState.h"
#include "tools/standin/WebPages.h"

#include <algorithm>
#include <cctype>
#include <ctime>

namespace standin {

namespace {

constexpr int kCookieSeconds = 365 * 24 * 3600;
const char* kDeniedQuery =
    "error=access_denied&error_code=200&error_description=Permissions+error&error_reason=user_denied";

std::string CookieDate(std::time_t when)
{
    std::tm utc{};
    gmtime_r(&when, &utc);
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", days[utc.tm_wday], utc.tm_mday,
                  months[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string SessionCookieOf(const httplib::Request& request)
{
    const std::string cookies = request.get_header_value("Cookie");
    std::size_t start = 0;
    while (start < cookies.size()) {
        std::size_t end = cookies.find(';', start);
        if (end == std::string::npos)
            end = cookies.size();
        const std::string pair = Trim(cookies.substr(start, end - start));
        if (pair.starts_with("xs="))
            return pair.substr(3);
        start = end + 1;
    }
    return {};
}

void SetSessionCookies(Answer& answer, const std::string& userId, const std::string& session)
{
    const std::string expires = "; expires=" + CookieDate(std::time(nullptr) + kCookieSeconds) +
                                "; Max-Age=" + std::to_string(kCookieSeconds) + "; path=/; secure; SameSite=None";
    answer.headers.emplace_back("Set-Cookie", "c_user=" + userId + expires);
    answer.headers.emplace_back("Set-Cookie", "xs=" + session + expires + "; HttpOnly");
}

void ExpireSessionCookies(Answer& answer)
{
    const std::string gone = "=deleted; expires=Thu, 01 Jan 1970 00:00:01 GMT; Max-Age=0; path=/; secure";
    answer.headers.emplace_back("Set-Cookie", "c_user" + gone);
    answer.headers.emplace_back("Set-Cookie", "xs" + gone + "; HttpOnly");
}

void NoStore(Answer& answer)
{
    answer.headers.emplace_back("Cache-Control", "private, no-cache, no-store, must-revalidate");
    answer.headers.emplace_back("Pragma", "no-cache");
}

bool Digits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The redirect addresses this "application" accepts: https on the loopback host.
bool AcceptableRedirect(const std::string& uri)
{
    for (const char* prefix :
         {"https://127.0.0.1:", "https://127.0.0.1/", "https://localhost:", "https://localhost/"}) {
        if (uri.starts_with(prefix))
            return true;
    }
    return false;
}

std::string WithQuery(const std::string& uri, const std::string& query)
{
    const std::string base = uri.substr(0, uri.find('#'));
    return base + (base.find('?') == std::string::npos ? "?" : "&") + query;
}

std::string DeniedRedirect(const std::string& redirectUri, const std::string& state)
{
    return WithQuery(redirectUri, kDeniedQuery + (state.empty() ? "" : "&state=" + EncodeComponent(state))) + "#_=_";
}

struct DialogRequest {
    std::string clientId, redirectUri, responseType, state;
};

DialogRequest DialogRequestFrom(const FormFields& query)
{
    return {FindField(query, "client_id").value_or(""), FindField(query, "redirect_uri").value_or(""),
            FindField(query, "response_type").value_or("code"), FindField(query, "state").value_or("")};
}

// Where an authorised dialog sends the browser: the token in the fragment, or a code.
std::string GrantRedirect(ServiceState& state, const StandinConfig& config, const DialogRequest& dialog,
                          const std::string& session, Json::Value& details)
{
    if (config.denyLogin) {
        details["outcome"] = "denied";
        return DeniedRedirect(dialog.redirectUri, dialog.state);
    }
    const std::string suffix = dialog.state.empty() ? "" : "&state=" + EncodeComponent(dialog.state);
    if (dialog.responseType != "token") {
        details["outcome"] = "code";
        return WithQuery(dialog.redirectUri, "code=" + state.ids.RandomText(64) + suffix) + "#_=_";
    }
    const std::string token = state.accounts.IssueToken(session);
    details["issuedToken"] = token;
    return dialog.redirectUri.substr(0, dialog.redirectUri.find('#')) + "#access_token=" + token +
           "&expires_in=" + std::to_string(config.tokenExpiresIn) + suffix;
}

// Locations are absolute, like the service's own.
std::string OnThisHost(const Exchange& exchange, const std::string& path)
{
    return "https://" + exchange.Request().get_header_value("Host") + path;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

void WebRoutes::Handle(Exchange& exchange)
{
    const StandinConfig config = exchange.State().config.Get();
    const std::string& path = exchange.Request().path;
    const bool post = exchange.Request().method == "POST";
    if (path == "/") {
        exchange.SetKind("web_root");
        return exchange.Reply(Answer::Html(200, PlainPage("Welcome", "The web host of the local stand-in service.")));
    }
    if (path.ends_with("/dialog/oauth"))
        return Dialog(exchange, config);
    if (path == "/login.php")
        return post ? LoginSubmit(exchange, config) : LoginForm(exchange, config);
    if (path == "/logout.php")
        return Logout(exchange, config);
    exchange.SetKind("web_other");
    if (path == "/window-open.html")
        return exchange.Reply(Answer::Html(200, WindowOpeningPage()));
    exchange.Reply(Answer::Html(404, PlainPage("Page Not Found", "This page isn't available.")));
}

void WebRoutes::Dialog(Exchange& exchange, const StandinConfig& config)
{
    exchange.SetKind("oauth_dialog");
    const DialogRequest dialog = DialogRequestFrom(exchange.Query());
    Json::Value& details = exchange.Details();
    for (const char* name : {"client_id", "redirect_uri", "scope", "response_type", "display", "type", "state"}) {
        if (auto value = FindField(exchange.Query(), name))
            details[name] = *value;
    }
    if (!Digits(dialog.clientId) || (!config.appId.empty() && dialog.clientId != config.appId)) {
        details["outcome"] = "invalid_app";
        return exchange.Reply(Answer::Html(
            200, PlainPage("Error", "Invalid App ID: The provided app ID does not look like a valid app ID.")));
    }
    if (!AcceptableRedirect(dialog.redirectUri)) {
        details["outcome"] = "invalid_redirect";
        return exchange.Reply(
            Answer::Html(200, PlainPage("URL Blocked", "This redirect failed because the redirect URI is not "
                                                       "whitelisted in the app's Client OAuth Settings.")));
    }
    ServiceState& state = exchange.State();
    const std::string session = SessionCookieOf(exchange.Request());
    details["sessionCookie"] = !session.empty();
    if (!session.empty() && state.accounts.SessionOpen(session)) {
        details["outcome"] = "session";
        Answer answer = Answer::Redirect(GrantRedirect(state, config, dialog, session, details));
        NoStore(answer);
        return exchange.Reply(answer);
    }
    details["outcome"] = "login_form";
    const std::string self = "https://" + exchange.Request().get_header_value("Host") + exchange.Request().target;
    const std::string display = FindField(exchange.Query(), "display").value_or("page");
    const std::string login = "/login.php?skip_api_login=1&api_key=" + dialog.clientId +
                              "&signed_next=1&next=" + EncodeComponent(self) +
                              "&cancel_url=" + EncodeComponent(DeniedRedirect(dialog.redirectUri, dialog.state)) +
                              "&display=" + EncodeComponent(display) + "&locale=en_US";
    Answer answer = Answer::Redirect(OnThisHost(exchange, login));
    NoStore(answer);
    exchange.Reply(answer);
}

void WebRoutes::LoginForm(Exchange& exchange, const StandinConfig& config)
{
    exchange.SetKind("login_form");
    const bool failedAttempt = FindField(exchange.Query(), "login_attempt").has_value();
    exchange.Details()["failedAttempt"] = failedAttempt;
    LoginFormView view;
    view.action = "/login.php?login_attempt=1";
    for (const char* name : {"next", "cancel_url"}) {
        if (auto value = FindField(exchange.Query(), name))
            view.action += std::string("&") + name + "=" + EncodeComponent(*value);
    }
    if (failedAttempt)
        view.notice = "The password that you've entered is incorrect.";
    // Once a try has failed, the page waits for a person, so a wrong password cannot loop.
    view.autosubmit = config.autosubmit && !failedAttempt;
    view.autosubmitDelayMs = config.autosubmitDelayMs;
    view.closeWindow = config.closeWindow;
    exchange.Details()["autosubmit"] = view.autosubmit;
    exchange.Details()["closeWindow"] = view.closeWindow;
    Answer answer = Answer::Html(200, LoginFormPage(view));
    NoStore(answer);
    exchange.Reply(answer);
}

void WebRoutes::LoginSubmit(Exchange& exchange, const StandinConfig& config)
{
    exchange.SetKind("login");
    const FormFields& form = exchange.ReadForm();
    ServiceState& state = exchange.State();
    const std::string next = FindField(exchange.Query(), "next").value_or("");
    const std::string cancelUrl = FindField(exchange.Query(), "cancel_url").value_or("");
    const std::string email = Trim(FindField(form, "email").value_or(""));
    const std::string pass = FindField(form, "pass").value_or("");
    Json::Value& details = exchange.Details();
    details["email"] = email;
    details["passwordLength"] = static_cast<int>(pass.size());  // the password itself is not kept

    if (FindField(form, "cancel")) {
        details["outcome"] = "cancelled";
        return exchange.Reply(Answer::Redirect(cancelUrl.empty() ? OnThisHost(exchange, "/") : cancelUrl));
    }
    const bool emailOk = config.email.empty() ? !email.empty() : Lower(email) == Lower(config.email);
    details["passwordMatched"] = pass == config.password;
    if (!emailOk || pass != config.password) {
        details["outcome"] = "wrong_password";
        std::string again = "/login.php?login_attempt=1&lwv=100";
        if (!next.empty())
            again += "&next=" + EncodeComponent(next);
        if (!cancelUrl.empty())
            again += "&cancel_url=" + EncodeComponent(cancelUrl);
        return exchange.Reply(Answer::Redirect(OnThisHost(exchange, again)));
    }
    if (!exchange.MayChangeState())
        return exchange.Reply(Answer::Redirect(OnThisHost(exchange, "/")));
    details["outcome"] = "ok";
    const std::string session = state.accounts.OpenSession();
    details["session"] = session;
    // The dialog that sent the browser here is finished at once instead of by a second
    // visit, which would reach the same address; so a client without cookies gets there too.
    const std::string nextQuery = next.find('?') == std::string::npos ? "" : next.substr(next.find('?') + 1);
    const DialogRequest dialog = DialogRequestFrom(ParseFormFields(nextQuery));
    std::string location = next.empty() ? OnThisHost(exchange, "/") : next;
    if (next.find("/dialog/oauth") != std::string::npos && AcceptableRedirect(dialog.redirectUri))
        location = GrantRedirect(state, config, dialog, session, details);
    Answer answer = Answer::Redirect(location);
    SetSessionCookies(answer, config.userId, session);
    NoStore(answer);
    exchange.Reply(answer);
}

void WebRoutes::Logout(Exchange& exchange, const StandinConfig& config)
{
    exchange.SetKind("logout");
    ServiceState& state = exchange.State();
    const std::string token = exchange.Param("access_token").value_or("");
    const std::string next = exchange.Param("next").value_or("");
    Json::Value& details = exchange.Details();
    details["token"] = token;
    details["next"] = next;
    details["tokenState"] = token.empty() ? "missing" : TokenStateName(state.accounts.Check(token, config.fixedToken));
    const std::string cookieSession = SessionCookieOf(exchange.Request());
    bool sessionClosed = false;
    if (exchange.MayChangeState()) {
        const std::string tokenSession = state.accounts.SessionOfToken(token);
        state.accounts.EndToken(token);
        if (config.logoutEndsSession && !tokenSession.empty()) {
            state.accounts.CloseSession(tokenSession);
            sessionClosed = true;
        }
        if (!cookieSession.empty()) {
            state.accounts.CloseSession(cookieSession);
            sessionClosed = true;
        }
    }
    details["sessionClosed"] = sessionClosed;
    Answer answer = config.logoutRedirect && !next.empty()
                        ? Answer::Redirect(next)
                        : Answer::Html(200, PlainPage("Logged out", "You have been logged out.", next));
    if (!cookieSession.empty())
        ExpireSessionCookies(answer);
    NoStore(answer);
    exchange.Reply(answer);
}

}  // namespace standin
