#include "login/BrowserWebData.h"

#include "login/FacebookCookieFile.h"
#include "platform/shell/UserFolders.h"

#include <system_error>

namespace fs = std::filesystem;

std::vector<fs::path> BrowserWebDataFolders()
{
    std::vector<fs::path> folders;
    for (const auto& base : {UserDataFolder(), UserCacheFolder()}) {
        if (base)
            folders.push_back(*base / kBrowserDataName);
    }
    return folders;
}

bool DeleteBrowserWebData()
{
    bool allGone = true;
    for (const fs::path& folder : BrowserWebDataFolders()) {
        std::error_code error;
        fs::remove_all(folder, error);
        allGone = allGone && !fs::exists(folder, error);
    }
    return allGone;
}

void DeleteGuestWebData()
{
    DeleteFacebookCookieFile();
    DeleteBrowserWebData();
}
