#pragma once
// Where the per-user hive lives: ${XDG_CONFIG_HOME:-$HOME/.config}/<folder>/settings.reg,
// the folder named by the program at start-up. This is the one place that knows the
// platform's per-user configuration folder.

#include <filesystem>
#include <optional>

// The program's folder below the configuration folder, relative ("Vendor/Product").
// Set once at start-up, before the first key is opened.
void SetRegistryFileFolder(std::filesystem::path folder);

// Empty when no folder was set or neither an absolute XDG_CONFIG_HOME nor HOME is set.
std::optional<std::filesystem::path> RegistryFilePath();
