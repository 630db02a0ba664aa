#include "platform/wininet/RequestPlan.h"

#include "platform/wininet/TlsTrust.h"

#include <string_view>

namespace wininet {

namespace {

std::vector<std::string_view> SplitList(std::string_view text)
{
    std::vector<std::string_view> items;
    while (!text.empty()) {
        const auto end = text.find_first_of("; ,\t");
        if (end != 0) {
            items.push_back(text.substr(0, end));
        }
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return items;
}

// "host:port", or per scheme "http=host:port https=host:port".
std::string ProxyFor(std::string_view list, bool secure)
{
    const std::string_view wanted = secure ? "https=" : "http=";
    std::string_view fallback;
    for (std::string_view item : SplitList(list)) {
        if (item.starts_with(wanted)) {
            return std::string(item.substr(wanted.size()));
        }
        if (fallback.empty() && item.find('=') == std::string_view::npos) {
            fallback = item;
        }
    }
    return std::string(fallback);
}

std::string NoProxyList(std::string_view bypass)
{
    std::string out;
    for (std::string_view item : SplitList(bypass)) {
        std::string entry = item == "<local>" ? "localhost,127.0.0.1,::1" : std::string(item);
        if (entry.starts_with("*.")) {
            entry.erase(0, 2);
        }
        if (!out.empty()) {
            out += ',';
        }
        out += entry;
    }
    return out;
}

CURLcode ApplyProxy(CURL* easy, bool secure, const ProxySettings& proxy, const Credentials& account)
{
    CURLcode rc = CURLE_OK;
    switch (proxy.accessType) {
    case INTERNET_OPEN_TYPE_DIRECT:
        // An empty proxy also stops libcurl from reading the proxy environment variables.
        rc = curl_easy_setopt(easy, CURLOPT_PROXY, "");
        if (rc == CURLE_OK) {
            rc = curl_easy_setopt(easy, CURLOPT_NOPROXY, "*");
        }
        return rc;
    case INTERNET_OPEN_TYPE_PROXY: {
        const std::string server = ProxyFor(proxy.proxy, secure);
        rc = curl_easy_setopt(easy, CURLOPT_PROXY, server.c_str());
        if (rc == CURLE_OK && !proxy.bypass.empty()) {
            rc = curl_easy_setopt(easy, CURLOPT_NOPROXY, NoProxyList(proxy.bypass).c_str());
        }
        break;
    }
    default:
        // The system's settings: on this platform, the usual proxy environment variables,
        // which libcurl reads by itself.
        break;
    }
    if (rc == CURLE_OK && !account.user.empty()) {
        rc = curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, account.user.c_str());
        if (rc == CURLE_OK) {
            rc = curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, account.password.c_str());
        }
    }
    return rc;
}

CURLcode ApplyVerb(CURL* easy, const RequestPlan& plan)
{
    const bool hasBody = plan.body != BodyKind::None;
    if (plan.verb == "HEAD" && !hasBody) {
        return curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    }
    if (!hasBody) {
        if (plan.verb == "GET") {
            return curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        }
        if (plan.verb != "POST") {
            return curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, plan.verb.c_str());
        }
    }
    CURLcode rc = curl_easy_setopt(easy, CURLOPT_POST, 1L);
    if (rc == CURLE_OK && plan.body == BodyKind::Fixed) {
        rc = curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(plan.fixedBody.size()));
        if (rc == CURLE_OK) {
            rc = curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, plan.fixedBody.c_str());
        }
    } else if (rc == CURLE_OK && plan.body == BodyKind::Pushed) {
        rc = curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(plan.pushedTotal));
    } else if (rc == CURLE_OK) {
        // A post without a body: empty fields, so that libcurl never falls back to its
        // default reader (standard input).
        rc = curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t{0});
        if (rc == CURLE_OK) {
            rc = curl_easy_setopt(easy, CURLOPT_POSTFIELDS, "");
        }
    }
    if (rc == CURLE_OK && plan.verb != "POST") {
        rc = curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, plan.verb.c_str());
    }
    return rc;
}

bool HasHeader(const std::vector<std::string>& lines, std::string_view name)
{
    for (const std::string& line : lines) {
        if (line.size() > name.size() && (line[name.size()] == ':' || line[name.size()] == ';') &&
            curl_strnequal(line.c_str(), std::string(name).c_str(), name.size())) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> WireHeaderLines(const RequestPlan& plan)
{
    std::vector<std::string> lines = plan.headerLines;
    if (!plan.acceptTypes.empty() && !HasHeader(lines, "Accept")) {
        std::string accept = "Accept: ";
        for (std::size_t i = 0; i < plan.acceptTypes.size(); ++i) {
            accept += (i == 0 ? "" : ", ") + plan.acceptTypes[i];
        }
        lines.push_back(std::move(accept));
    }
    // libcurl would otherwise announce large bodies with "Expect: 100-continue" and wait
    // for an answer that servers often never send; the platform library sends none.
    if (!HasHeader(lines, "Expect")) {
        lines.emplace_back("Expect:");
    }
    // libcurl's default type for posts is not the caller's choice.
    if (!HasHeader(lines, "Content-Type")) {
        lines.emplace_back("Content-Type:");
    }
    return lines;
}

CURLcode ApplyHeaders(CURL* easy, const RequestPlan& plan, CurlHeaderList& headers)
{
    headers.reset();
    for (const std::string& line : WireHeaderLines(plan)) {
        curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
        if (grown == nullptr) {
            return CURLE_OUT_OF_MEMORY;
        }
        (void)headers.release();
        headers.reset(grown);
    }
    CURLcode rc = curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
    if (rc == CURLE_OK) {
        // The caller's headers are for the server, not for a proxy on the way.
        rc = curl_easy_setopt(easy, CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);
    }
    return rc;
}

template <class... Steps>
CURLcode FirstFailure(Steps&&... steps)
{
    CURLcode rc = CURLE_OK;
    ((rc = rc == CURLE_OK ? steps() : rc), ...);
    return rc;
}

}  // namespace

CURLcode ApplyCommonOptions(CURL* easy, bool secure, const ProxySettings& proxy, const Credentials& proxyAccount,
                            DWORD connectTimeoutMs)
{
    return FirstFailure(
        [&] { return curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L); },
        [&] { return curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"); },
        [&] { return curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"); },
        [&] { return curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L); },
        [&] { return curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L); },
        // The trust store comes whole from AddConfiguredTrust; curl loads no bundle of its own.
        [&] { return curl_easy_setopt(easy, CURLOPT_CAINFO, nullptr); },
        [&] { return curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr); },
        [&] { return curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, &AddConfiguredTrust); },
        [&] { return curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeoutMs)); },
        [&] { return ApplyProxy(easy, secure, proxy, proxyAccount); });
}

CURLcode ApplyPlan(CURL* easy, const RequestPlan& plan, CurlHeaderList& headers)
{
    const bool hasServerAccount = !plan.serverAccount.user.empty();
    return FirstFailure(
        [&] {
            return ApplyCommonOptions(easy, plan.endpoint.secure, plan.proxy, plan.proxyAccount,
                                      plan.timeouts.connectMs);
        },
        [&] { return curl_easy_setopt(easy, CURLOPT_URL, plan.url.c_str()); },
        [&] { return curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L); },
        [&] {
            const long version = plan.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1;
            return curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, version);
        },
        [&] { return ApplyVerb(easy, plan); }, [&] { return ApplyHeaders(easy, plan, headers); },
        [&] {
            return curl_easy_setopt(easy, CURLOPT_USERAGENT, plan.userAgent.empty() ? nullptr : plan.userAgent.c_str());
        },
        [&] {
            return curl_easy_setopt(easy, CURLOPT_REFERER, plan.referrer.empty() ? nullptr : plan.referrer.c_str());
        },
        [&] { return curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, plan.followRedirects ? 1L : 0L); },
        [&] { return curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects); },
        [&] { return curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L); },
        [&] {
            return hasServerAccount ? curl_easy_setopt(easy, CURLOPT_USERNAME, plan.serverAccount.user.c_str())
                                    : CURLE_OK;
        },
        [&] {
            return hasServerAccount ? curl_easy_setopt(easy, CURLOPT_PASSWORD, plan.serverAccount.password.c_str())
                                    : CURLE_OK;
        });
}

}  // namespace wininet
