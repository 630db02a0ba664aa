#include "login/CookieFolder.h"

#include <cstdlib>

namespace {

// The base directory specification ignores relative values.
std::optional<std::filesystem::path> AbsoluteFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return std::nullopt;
    return std::filesystem::path(value);
}

}  // namespace

std::optional<std::filesystem::path> CookieFolder()
{
    std::optional<std::filesystem::path> base = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (!base) {
        const std::optional<std::filesystem::path> home = AbsoluteFromEnvironment("HOME");
        if (!home)
            return std::nullopt;
        base = *home / ".local" / "share";
    }
    return *base / "OrvaneSystems" / "Zendrik" / "Cookies";
}
