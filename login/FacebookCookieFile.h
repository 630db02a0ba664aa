#pragma once
// Removing the browser's Facebook cookies between guests. The browser keeps its
// persistent cookies in the cookies folder as "*.cookie" files. WebKit writes them in
// the Mozilla cookies.txt format: one cookie a line, seven tab-separated fields (domain,
// include-subdomains flag, path, secure, expiry, name, value), HttpOnly cookies with
// "#HttpOnly_" before the domain, other lines starting with '#' being comments. The
// WebBrowser control on Windows writes a file a site, each cookie's name, value, host
// and path, flags and times on lines of their own, the host and path as "facebook.com/".

#include <filesystem>
#include <string_view>

// Deletes the first "*.cookie" file in the cookies folder (by name) that holds a
// Facebook cookie: true when one was found, whether or not the deletion worked; at
// most one file per call.
bool DeleteFacebookCookieFile();

// Whether the file holds a Facebook cookie line, of either format, for FacebookWebDomain().
bool IsFacebookCookieFile(const std::filesystem::path& path);

// A cookie line whose domain (without "#HttpOnly_" and a leading '.') is `domain` or
// ends with '.' + `domain`, compared exactly as cookies store it.
bool IsFacebookCookieLine(std::string_view line, std::string_view domain);

// A line of the control's format: `domain` + "/" exactly, trailing blanks ignored.
bool IsControlCookieLine(std::string_view line, std::string_view domain);
