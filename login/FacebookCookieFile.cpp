#include "login/FacebookCookieFile.h"

#include "login/CookieFolder.h"
#include "login/WebEndpoints.h"
#include "platform/win32/Utf.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";
constexpr std::size_t kCookieFields = 7;

std::vector<std::filesystem::path> CookieFilesByName(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path& path = it->path();
        std::error_code typeError;
        if (path.filename().string().ends_with(".cookie") && it->is_regular_file(typeError))
            files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

bool IsFacebookCookieLine(std::string_view line, std::string_view domain)
{
    if (domain.empty())
        return false;
    if (line.starts_with(kHttpOnlyPrefix))
        line.remove_prefix(kHttpOnlyPrefix.size());
    else if (line.starts_with('#'))
        return false;
    if (static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t')) < kCookieFields - 1)
        return false;
    std::string_view cookieDomain = line.substr(0, line.find('\t'));
    if (cookieDomain.starts_with('.'))
        cookieDomain.remove_prefix(1);
    if (cookieDomain == domain)
        return true;
    return cookieDomain.size() > domain.size() && cookieDomain.ends_with(domain) &&
           cookieDomain[cookieDomain.size() - domain.size() - 1] == '.';
}

bool IsControlCookieLine(std::string_view line, std::string_view domain)
{
    const std::size_t end = line.find_last_not_of(" \t\r\n\v\f");
    line = end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
    return !domain.empty() && line.size() == domain.size() + 1 && line.starts_with(domain) && line.back() == '/';
}

bool IsFacebookCookieFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::string domain = Utf16ToUtf8(FacebookWebDomain());
    std::string line;
    while (std::getline(file, line)) {
        if (line.ends_with('\r'))
            line.pop_back();
        if (IsFacebookCookieLine(line, domain) || IsControlCookieLine(line, domain))
            return true;
    }
    return false;
}

bool DeleteFacebookCookieFile()
{
    const std::optional<std::filesystem::path> folder = CookieFolder();
    if (!folder)
        return false;
    for (const std::filesystem::path& file : CookieFilesByName(*folder)) {
        if (!IsFacebookCookieFile(file))
            continue;
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        return true;
    }
    return false;
}
