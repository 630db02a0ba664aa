#include "platform/registry/RegistryFileLocation.h"

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

std::optional<std::filesystem::path> RegistryFilePath()
{
    std::optional<std::filesystem::path> base = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (!base) {
        const std::optional<std::filesystem::path> home = AbsoluteFromEnvironment("HOME");
        if (!home)
            return std::nullopt;
        base = *home / ".config";
    }
    return *base / "OrvaneSystems" / "Zendrik" / "settings.reg";
}
