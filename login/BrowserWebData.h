#pragma once
// What the embedded browser stores for the pages it shows, apart from its cookies: the
// cache, local storage, IndexedDB, the HSTS list and their kin. The browser library
// keeps them under the program's name in the user's data and cache folders; a login
// site uses them for things like remembered accounts, so they go with the cookie file.

#include <filesystem>
#include <vector>

// The name the browser's stored data is filed under; the browser layer hands it to the
// browser library before its first page.
inline constexpr char kBrowserDataName[] = "zendrik2";

// ${XDG_DATA_HOME}/zendrik2 and ${XDG_CACHE_HOME}/zendrik2, those that can be named.
std::vector<std::filesystem::path> BrowserWebDataFolders();

// Deletes those folders with everything in them; true when none is left.
bool DeleteBrowserWebData();

// What goes between two guests: the Facebook cookie file (DeleteFacebookCookieFile)
// and the browser's other stored data.
void DeleteGuestWebData();
