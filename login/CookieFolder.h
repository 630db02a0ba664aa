#pragma once
// The embedded browser's cookies folder, the one place that knows where the platform
// keeps per-user data: ${XDG_DATA_HOME:-$HOME/.local/share}/OrvaneSystems/Zendrik/Cookies.

#include <filesystem>
#include <optional>

// Empty when neither an absolute XDG_DATA_HOME nor HOME is set.
std::optional<std::filesystem::path> CookieFolder();
