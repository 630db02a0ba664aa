#include "platform/wininet/Endpoint.h"

#include "platform/wininet/WinInet.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace wininet {

namespace {

bool IsUrlSafe(unsigned char c)
{
    if (c <= 0x20 || c >= 0x7F) {
        return false;
    }
    return std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) == std::string_view::npos;
}

std::string HostPart(const Endpoint& endpoint)
{
    const bool ipv6Literal = endpoint.host.find(':') != std::string::npos;
    return ipv6Literal ? "[" + endpoint.host + "]" : endpoint.host;
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

std::uint16_t EffectivePort(const Endpoint& endpoint)
{
    if (endpoint.port != INTERNET_INVALID_PORT_NUMBER) {
        return endpoint.port;
    }
    return endpoint.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
}

std::string RootUrl(const Endpoint& endpoint)
{
    return std::string(endpoint.secure ? "https://" : "http://") + HostPart(endpoint) + ":" +
           std::to_string(EffectivePort(endpoint)) + "/";
}

std::string RequestUrl(const Endpoint& endpoint, std::string_view objectName)
{
    objectName = objectName.substr(0, objectName.find('#'));
    std::string url = RootUrl(endpoint);
    url.pop_back();
    if (objectName.empty() || objectName.front() != '/') {
        url += '/';
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : objectName) {
        if (IsUrlSafe(c)) {
            url += static_cast<char>(c);
            continue;
        }
        url += '%';
        url += kHex[c >> 4];
        url += kHex[c & 0x0F];
    }
    return url;
}

bool IsValidHostName(std::string_view host)
{
    if (host.empty()) {
        return false;
    }
    return std::all_of(host.begin(), host.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == ':'; });
}

bool IsReservedInvalidName(std::string_view host)
{
    std::string name = Lower(host);
    while (!name.empty() && name.back() == '.') {
        name.pop_back();
    }
    constexpr std::string_view kTld = "invalid";
    if (name == kTld) {
        return true;
    }
    return name.size() > kTld.size() && name.ends_with(kTld) && name[name.size() - kTld.size() - 1] == '.';
}

std::optional<Endpoint> ParseHttpUrl(std::string_view url, DWORD& error)
{
    error = ERROR_INTERNET_INVALID_URL;
    const auto schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos) {
        return std::nullopt;
    }
    Endpoint endpoint;
    const std::string scheme = Lower(url.substr(0, schemeEnd));
    if (scheme != "http" && scheme != "https") {
        error = ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        return std::nullopt;
    }
    endpoint.secure = scheme == "https";

    std::string_view authority = url.substr(schemeEnd + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    std::string_view portText;
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        endpoint.host = std::string(authority.substr(1, close - 1));
        std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                return std::nullopt;
            }
            portText = rest.substr(1);
        }
    } else {
        const auto colon = authority.find(':');
        endpoint.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) {
            portText = authority.substr(colon + 1);
        }
    }
    if (!IsValidHostName(endpoint.host)) {
        return std::nullopt;
    }
    if (!portText.empty()) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
        if (ec != std::errc() || end != portText.data() + portText.size() || value == 0 || value > 0xFFFF) {
            return std::nullopt;
        }
        endpoint.port = static_cast<std::uint16_t>(value);
    }
    error = ERROR_SUCCESS;
    return endpoint;
}

}  // namespace wininet
