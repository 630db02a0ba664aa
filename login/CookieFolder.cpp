#include "login/CookieFolder.h"

#include "platform/shell/UserFolders.h"

std::optional<std::filesystem::path> CookieFolder()
{
    const auto base = UserDataFolder();
    if (!base)
        return std::nullopt;
    return *base / "OrvaneSystems" / "Zendrik" / "Cookies";
}
