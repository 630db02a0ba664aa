#pragma once
// What the browser's process-wide web context is given before its first page: where
// persistent cookies are kept, and which local test authority to trust for which
// hosts. Free of the toolkit.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct WebContextSetup {
    // "Zendrik2.cookie" in the cookies folder (the folder made private, 0700, when
    // missing), where the cookie clean-up finds it; nullopt without a cookies folder
    // (cookies in memory).
    std::optional<std::filesystem::path> cookieFile;
    // The extra authority (platform/wininet/ExtraCaFile.h), whose certificates the browser
    // accepts for the hosts below only; empty when there is none. TLS verification
    // otherwise stays on.
    std::string caFile;
    // host[:port] of the web host and the redirect host, in UTF-8.
    std::vector<std::string> trustedHosts;
};

// From the environment and the cookies folder, as they are now.
WebContextSetup CurrentWebContextSetup();

// The persistent cookie file's name in the cookies folder.
inline constexpr char kCookieFileName[] = "Zendrik2.cookie";
