#pragma once
// Which completed documents are the Facebook login form, the one page the guest's
// e-mail and password may be typed into. The address must really be that page: https,
// the web domain or one of its subdomains, the web host's port, the path "/login.php" with a query.
// Text elsewhere in the address (a query that quotes the login page's address, a user
// name before an '@') never makes a page the login form.

#include <string_view>

// Against FacebookWebHost(): its domain (FacebookWebDomain) and its port, 443 when it
// names none. An IP address as web host has no domain: the host must be that address.
bool IsLoginPageAddress(std::u16string_view url);

// The same rule against a given web host ("www.facebook.com", "127.0.0.1:8443").
bool IsLoginPageAddressOf(std::u16string_view url, std::u16string_view webHost);
