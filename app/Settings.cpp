#include "app/Settings.h"

#include "login/SettingsKey.h"

#include <cstring>
#include <optional>

namespace {

std::optional<DWORD> ReadDword(const SettingsKey& key, const char16_t* name)
{
    if (key.get() == nullptr)
        return std::nullopt;
    DWORD type = 0;
    BYTE data[4] = {};
    DWORD size = sizeof data;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, data, &size) != static_cast<LSTATUS>(ERROR_SUCCESS))
        return std::nullopt;
    // A DWORD-typed value of fewer than four bytes would leave part of the number unset.
    if (type != REG_DWORD || size != sizeof data)
        return std::nullopt;
    DWORD value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

}  // namespace

bool ShouldDeleteFacebookCookies()
{
    const SettingsKey key;
    const std::optional<DWORD> value = ReadDword(key, u"DeleteFacebookCookies");
    return !value || *value != 0;
}
