// The Windows backend of UserFolders.h: the shell's own per-user folders.

#include "platform/shell/UserFolders.h"

#include "platform/win32/Win32Types.h"

#include <shlobj.h>

namespace {

std::optional<std::filesystem::path> ShellFolder(int folder)
{
    WCHAR path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, folder | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return std::nullopt;
    return std::filesystem::path(path);
}

}  // namespace

// Settings roam with the user; data and cache stay on the machine.
std::optional<std::filesystem::path> UserConfigFolder() { return ShellFolder(CSIDL_APPDATA); }

std::optional<std::filesystem::path> UserDataFolder() { return ShellFolder(CSIDL_LOCAL_APPDATA); }

std::optional<std::filesystem::path> UserCacheFolder() { return ShellFolder(CSIDL_LOCAL_APPDATA); }

std::optional<std::filesystem::path> ShellCookiesFolder() { return ShellFolder(CSIDL_COOKIES); }
