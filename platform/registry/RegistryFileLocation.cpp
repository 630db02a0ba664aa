#include "platform/registry/RegistryFileLocation.h"

#include "platform/shell/UserFolders.h"

#include <utility>

namespace {

std::filesystem::path registryFileFolder;

}  // namespace

void SetRegistryFileFolder(std::filesystem::path folder) { registryFileFolder = std::move(folder); }

std::optional<std::filesystem::path> RegistryFilePath()
{
    if (registryFileFolder.empty())
        return std::nullopt;
    const auto base = UserConfigFolder();
    if (!base)
        return std::nullopt;
    return *base / registryFileFolder / "settings.reg";
}
