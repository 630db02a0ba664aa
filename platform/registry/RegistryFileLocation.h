#pragma once
// Where the per-user hive lives: ${XDG_CONFIG_HOME:-$HOME/.config}/OrvaneSystems/Zendrik/settings.reg.
// This is the one place that knows the platform's per-user configuration folder.

#include <filesystem>
#include <optional>

// Empty when neither an absolute XDG_CONFIG_HOME nor HOME is set.
std::optional<std::filesystem::path> RegistryFilePath();
