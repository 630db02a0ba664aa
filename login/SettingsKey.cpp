#include "login/SettingsKey.h"

#include <string_view>
#include <utility>
#include <vector>

namespace {

std::u16string settingsKeyPath;

}  // namespace

void SetSettingsKeyPath(std::u16string path) { settingsKeyPath = std::move(path); }

SettingsKey::SettingsKey()
{
    // An empty path would open HKEY_CURRENT_USER itself.
    if (settingsKeyPath.empty())
        return;
    const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, settingsKeyPath.c_str(), 0, KEY_READ, &key_);
    if (status != static_cast<LSTATUS>(ERROR_SUCCESS))
        key_ = nullptr;
}

SettingsKey::~SettingsKey()
{
    if (key_ != nullptr)
        RegCloseKey(key_);
}

std::optional<std::u16string> ReadSettingsString(const SettingsKey& key, const char16_t* name, std::size_t maxLength)
{
    if (key.get() == nullptr)
        return std::nullopt;
    // Room for the longest value and its NUL: a longer one is refused with ERROR_MORE_DATA.
    std::vector<char16_t> buffer(maxLength + 1);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(char16_t));
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size) !=
        static_cast<LSTATUS>(ERROR_SUCCESS))
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;
    const std::u16string_view units(buffer.data(), size / sizeof(char16_t));
    const std::size_t nul = units.find(u'\0');
    if (nul == std::u16string_view::npos)
        return std::nullopt;
    return std::u16string(units.substr(0, nul));
}
