#include "platform/registry/RegistryFileLocation.h"

#include "platform/shell/UserFolders.h"

std::optional<std::filesystem::path> RegistryFilePath()
{
    const auto base = UserConfigFolder();
    if (!base)
        return std::nullopt;
    return *base / "OrvaneSystems" / "Zendrik" / "settings.reg";
}
