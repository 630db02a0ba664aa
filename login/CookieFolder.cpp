#include "login/CookieFolder.h"

#include "platform/shell/UserFolders.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// Below the user's local application data, which its folder rights keep to the user.
bool MakePrivate(const fs::path& folder)
{
    std::error_code error;
    fs::create_directory(folder, error);
    return fs::is_directory(folder, error);
}
#else
bool MakePrivate(const fs::path& folder)
{
    // Made with its final mode, so that it is never open to others even for a moment.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    if (::chmod(folder.c_str(), 0700) != 0)
        return false;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error))
            ::chmod(entry.path().c_str(), 0600);
    }
    return true;
}
#endif

}  // namespace

#ifdef _WIN32
std::optional<fs::path> CookieFolder() { return ShellCookiesFolder(); }
#else
std::optional<fs::path> CookieFolder()
{
    const auto base = UserDataFolder();
    if (!base)
        return std::nullopt;
    return *base / "OrvaneSystems" / "Zendrik" / "Cookies";
}
#endif

std::optional<fs::path> PrivateCookieFolder()
{
    const std::optional<fs::path> folder = CookieFolder();
    if (!folder)
        return std::nullopt;
    std::error_code error;
    fs::create_directories(folder->parent_path(), error);
    if (!MakePrivate(*folder))
        return std::nullopt;
    return folder;
}
