#include "login/LoginPageAddress.h"

#include "login/WebEndpoints.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::u16string_view kScheme = u"https://";
constexpr std::u16string_view kLoginPath = u"/login.php";
constexpr std::u16string_view kHttpsPort = u"443";

char16_t AsciiLower(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return AsciiLower(x) == AsciiLower(y); });
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::u16string_view text, std::u16string_view suffix)
{
    return text.size() >= suffix.size() && EqualNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool IsIpAddress(std::u16string_view name)
{
    if (name.starts_with(u'['))
        return true;
    return !name.empty() && std::all_of(name.begin(), name.end(),
                                        [](char16_t unit) { return unit == u'.' || (unit >= u'0' && unit <= u'9'); });
}

bool HostMatches(std::u16string_view host, std::u16string_view webName)
{
    if (host.empty())
        return false;
    if (IsIpAddress(webName))
        return EqualNoCase(host, webName);
    const std::u16string_view domain = WithoutFirstLabel(webName);
    if (EqualNoCase(host, domain))
        return true;
    return host.size() > domain.size() && EndsWithNoCase(host, domain) && host[host.size() - domain.size() - 1] == u'.';
}

// An empty port and "443" are the same port for https.
bool PortMatches(std::u16string_view port, std::u16string_view webPort)
{
    const std::u16string_view expected = webPort.empty() ? kHttpsPort : webPort;
    return port == expected || (port.empty() && expected == kHttpsPort);
}

}  // namespace

bool IsLoginPageAddressOf(std::u16string_view url, std::u16string_view webHost)
{
    if (!StartsWithNoCase(url, kScheme))
        return false;
    const std::u16string_view rest = url.substr(kScheme.size());
    const std::size_t authorityEnd = std::min(rest.find_first_of(u"/?#"), rest.size());
    const std::u16string_view authority = rest.substr(0, authorityEnd);
    // The login page never carries a user name; with one, the host is not what it seems.
    if (authority.find(u'@') != std::u16string_view::npos)
        return false;
    const std::u16string_view afterAuthority = rest.substr(authorityEnd);
    const std::u16string_view path =
        afterAuthority.substr(0, std::min(afterAuthority.find_first_of(u"?#"), afterAuthority.size()));
    // The form is always reached with a query (the dialog's "next" and the like).
    if (path != kLoginPath || afterAuthority.size() == path.size() || afterAuthority[path.size()] != u'?')
        return false;
    const HostAndPort address = SplitHostAndPort(authority);
    const HostAndPort web = SplitHostAndPort(webHost);
    return HostMatches(address.name, web.name) && PortMatches(address.port, web.port);
}

bool IsLoginPageAddress(std::u16string_view url) { return IsLoginPageAddressOf(url, FacebookWebHost()); }
