#pragma once
// What a shot may leave behind on the machine: processes that came from it, files in
// the day's home folder, and the guest's web data among them.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace booth {

struct LeftProcess {
    pid_t pid = 0;
    std::string name;
};

// Processes in the shot's process group, or carrying its marker ("NAME=value") in their
// environment (WebKit's helpers may start a group or session of their own).
std::vector<LeftProcess> ProcessesOfShot(pid_t group, const std::string& marker);

struct FolderUsage {
    std::uintmax_t files = 0;
    std::uintmax_t bytes = 0;
};
FolderUsage UsageOf(const std::filesystem::path& folder);

// Files of web content a guest's browsing leaves: the HTTP cache, local storage,
// IndexedDB, and HSTS entries for the web host. Paths relative to `home`.
std::vector<std::string> GuestWebData(const std::filesystem::path& home, const std::string& webHost);

}  // namespace booth
