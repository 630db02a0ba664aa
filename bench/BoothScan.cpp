#include "bench/BoothScan.h"

#include "bench/GuiBenchSupport.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace booth {

using guibench::FileText;

namespace {

// The fifth field of /proc/PID/stat, after the name in parentheses.
pid_t GroupOf(const std::string& stat)
{
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    pid_t parent = 0, group = -1;
    fields >> state >> parent >> group;
    return group;
}

bool EnvironmentHolds(const std::string& environ, const std::string& marker)
{
    std::size_t start = 0;
    while (start < environ.size()) {
        std::size_t end = environ.find('\0', start);
        if (end == std::string::npos)
            end = environ.size();
        if (environ.compare(start, end - start, marker) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool IsWebStore(const std::string& relative, const std::string& webHost)
{
    const std::string path = Lowered(relative);
    static const char* const stores[] = {"webkitcache", "cachestorage", "localstorage",
                                         "indexeddb",   "websql",       "serviceworkers"};
    for (const char* store : stores) {
        if (path.find(store) != std::string::npos)
            return true;
    }
    return path.find("hsts") != std::string::npos && !webHost.empty();
}

bool MentionsHost(const std::filesystem::path& file, const std::string& host)
{
    return FileText(file).find(host) != std::string::npos;
}

}  // namespace

std::vector<LeftProcess> ProcessesOfShot(pid_t group, const std::string& marker)
{
    std::vector<LeftProcess> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return std::isdigit(c); }))
            continue;
        const pid_t pid = std::stoi(name);
        const std::string stat = FileText(entry.path() / "stat");
        if (stat.empty())
            continue;
        if (GroupOf(stat) != group && !EnvironmentHolds(FileText(entry.path() / "environ"), marker))
            continue;
        std::string command = FileText(entry.path() / "comm");
        if (!command.empty() && command.back() == '\n')
            command.pop_back();
        found.push_back({pid, command});
    }
    return found;
}

FolderUsage UsageOf(const std::filesystem::path& folder)
{
    FolderUsage usage;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            break;
        if (!it->is_regular_file(error))
            continue;
        ++usage.files;
        usage.bytes += it->file_size(error);
    }
    return usage;
}

std::vector<std::string> GuestWebData(const std::filesystem::path& home, const std::string& webHost)
{
    std::vector<std::string> found;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(home, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            break;
        // A store's salt is made once for the store, not from anything a guest did.
        if (!it->is_regular_file(error) || it->file_size(error) == 0 || it->path().filename() == "salt")
            continue;
        const std::string relative = std::filesystem::relative(it->path(), home, error).string();
        if (!IsWebStore(relative, webHost))
            continue;
        // An HSTS store counts only when it names the guest's web host.
        if (Lowered(relative).find("hsts") != std::string::npos && !MentionsHost(it->path(), webHost))
            continue;
        found.push_back(relative);
    }
    return found;
}

}  // namespace booth
