#pragma once
// The embedded browser's cookies folder, the one place that knows where the platform
// keeps per-user data: ${XDG_DATA_HOME:-$HOME/.local/share}/OrvaneSystems/Zendrik/Cookies
// for WebKit; on Windows the shell's cookies folder, where the WebBrowser control keeps them.

#include <filesystem>
#include <optional>

// Empty when neither an absolute XDG_DATA_HOME nor HOME is set (Windows: when the shell
// names no cookies folder).
std::optional<std::filesystem::path> CookieFolder();

// The cookies folder, made when missing, readable by the user alone (0700), with every
// file already in it 0600: a guest's session cookie is nobody else's business. Empty
// when there is no cookies folder or it cannot be made private.
std::optional<std::filesystem::path> PrivateCookieFolder();
