#include "platform/shell/UserFolders.h"

#include <cstdlib>

namespace {

std::optional<std::filesystem::path> AbsoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return std::nullopt;
    return std::filesystem::path(value);
}

std::optional<std::filesystem::path> BaseFolder(const char* variable, const std::filesystem::path& underHome)
{
    if (auto base = AbsoluteFromEnvironment(variable))
        return base;
    if (auto home = AbsoluteFromEnvironment("HOME"))
        return *home / underHome;
    return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> UserConfigFolder() { return BaseFolder("XDG_CONFIG_HOME", ".config"); }

std::optional<std::filesystem::path> UserDataFolder() { return BaseFolder("XDG_DATA_HOME", ".local/share"); }

std::optional<std::filesystem::path> UserCacheFolder() { return BaseFolder("XDG_CACHE_HOME", ".cache"); }
