#include "login/CookieFolder.h"

#include "platform/shell/UserFolders.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

std::optional<fs::path> CookieFolder()
{
    const auto base = UserDataFolder();
    if (!base)
        return std::nullopt;
    return *base / "OrvaneSystems" / "Zendrik" / "Cookies";
}

std::optional<fs::path> PrivateCookieFolder()
{
    const std::optional<fs::path> folder = CookieFolder();
    if (!folder)
        return std::nullopt;
    std::error_code error;
    fs::create_directories(folder->parent_path(), error);
    // Made with its final mode, so that it is never open to others even for a moment.
    if (::mkdir(folder->c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    if (::chmod(folder->c_str(), 0700) != 0)
        return std::nullopt;
    for (const fs::directory_entry& entry : fs::directory_iterator(*folder, error)) {
        if (entry.is_regular_file(error))
            ::chmod(entry.path().c_str(), 0600);
    }
    return folder;
}
