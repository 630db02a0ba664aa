#include "login/WebEndpoints.h"

#include "service/EndpointHost.h"

#ifndef ZENDRIK_DEFAULT_REDIRECT_HOST
#error "ZENDRIK_DEFAULT_REDIRECT_HOST comes from the build configuration"
#endif

HostAndPort SplitHostAndPort(std::u16string_view host)
{
    // A bracketed IPv6 literal holds colons of its own.
    const std::size_t nameEnd = host.starts_with(u'[') ? host.find(u']') : 0;
    const std::size_t colon = host.find(u':', nameEnd == std::u16string_view::npos ? host.size() : nameEnd);
    if (colon == std::u16string_view::npos)
        return {host, {}};
    return {host.substr(0, colon), host.substr(colon + 1)};
}

std::u16string_view WithoutFirstLabel(std::u16string_view name)
{
    if (name.starts_with(u'['))
        return name;
    const std::size_t dot = name.find(u'.');
    if (dot == std::u16string_view::npos || dot + 1 == name.size())
        return name;
    return name.substr(dot + 1);
}

std::u16string FacebookWebHost() { return EndpointHost("ZENDRIK_WEB_HOST", u"www.facebook.com"); }

std::u16string RedirectHost() { return EndpointHost("ZENDRIK_REDIRECT_HOST", u"" ZENDRIK_DEFAULT_REDIRECT_HOST); }

std::u16string FacebookWebDomain()
{
    const std::u16string host = FacebookWebHost();
    return std::u16string(WithoutFirstLabel(SplitHostAndPort(host).name));
}

std::u16string OAuthDialogAddress() { return u"https://" + FacebookWebHost() + u"/v2.12/dialog/oauth"; }

std::u16string RedirectAddress() { return u"https://" + RedirectHost() + u"/facebook_login_success.htm"; }

std::u16string LogoutPageAddress() { return u"https://" + FacebookWebHost() + u"/logout.php"; }

std::u16string LogoutNextAddress() { return u"http://localhost/logout.html"; }

std::u16string ConnectionTestAddress() { return u"https://" + FacebookWebHost() + u"/"; }
