#pragma once
// The per-user base folders: on Windows the shell's (application data, roaming for the
// configuration, local for data and cache); elsewhere those of the XDG base directory
// rules, empty when neither the variable nor HOME holds an absolute path (the rules
// ignore relative values).

#include <filesystem>
#include <optional>

// ${XDG_CONFIG_HOME:-$HOME/.config}
std::optional<std::filesystem::path> UserConfigFolder();
// ${XDG_DATA_HOME:-$HOME/.local/share}
std::optional<std::filesystem::path> UserDataFolder();
// ${XDG_CACHE_HOME:-$HOME/.cache}
std::optional<std::filesystem::path> UserCacheFolder();

#ifdef _WIN32
// The shell's cookies folder (CSIDL_COOKIES), where the WebBrowser control keeps the
// cookies that outlive a browser session, one file a site.
std::optional<std::filesystem::path> ShellCookiesFolder();
#endif
