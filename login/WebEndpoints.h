#pragma once
// The Facebook web addresses: login dialog, login and logout pages, connection test,
// and the redirect address that carries the login's result. Hosts are host[:port]:
//   ZENDRIK_WEB_HOST       www.facebook.com
//   ZENDRIK_REDIRECT_HOST  chosen at configure time (ZENDRIK_DEFAULT_REDIRECT_HOST)

#include <string>
#include <string_view>

std::u16string FacebookWebHost();
std::u16string RedirectHost();

// The web host's name without its first label and without a port ("facebook.com"),
// as cookies carry it; a one-label name is kept whole.
std::u16string FacebookWebDomain();

// "https://" web host "/v2.12/dialog/oauth"; the login address builder adds the query.
std::u16string OAuthDialogAddress();
// "https://" redirect host "/facebook_login_success.htm".
std::u16string RedirectAddress();
// "https://" web host "/logout.php".
std::u16string LogoutPageAddress();
// Where the logout page is told to send the browser next.
std::u16string LogoutNextAddress();
// "https://" web host "/": what the connection test checks.
std::u16string ConnectionTestAddress();

// The rules above on a given host[:port].
struct HostAndPort {
    std::u16string_view name;
    std::u16string_view port;  // without its ':'; empty when none
};
HostAndPort SplitHostAndPort(std::u16string_view host);
std::u16string_view WithoutFirstLabel(std::u16string_view name);
