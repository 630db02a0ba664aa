#include "app/Settings.h"

#include "platform/registry/Registry.h"
#include "platform/win32/WideCrt.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#ifndef ZENDRIK_DEFAULT_APPLICATION_ID
#error "ZENDRIK_DEFAULT_APPLICATION_ID comes from the build configuration"
#endif

namespace {

constexpr std::size_t kMaxApplicationIdLength = 255;

class SettingsKey {
public:
    SettingsKey()
    {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_READ, &key_) != static_cast<LSTATUS>(ERROR_SUCCESS))
            key_ = nullptr;
    }
    ~SettingsKey()
    {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::optional<DWORD> ReadDword(const SettingsKey& key, LPCWSTR name)
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

// The text up to the first NUL within the data; none there means no terminated string.
// A longer value does not fit the buffer and is refused with ERROR_MORE_DATA.
template <std::size_t MaxLength>
std::optional<std::u16string> ReadString(const SettingsKey& key, LPCWSTR name)
{
    if (key.get() == nullptr)
        return std::nullopt;
    std::array<char16_t, MaxLength + 1> buffer{};
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(sizeof buffer);
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size)
        != static_cast<LSTATUS>(ERROR_SUCCESS))
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return std::nullopt;
    const std::u16string_view units(buffer.data(), size / sizeof(char16_t));
    const std::size_t nul = units.find(u'\0');
    if (nul == std::u16string_view::npos)
        return std::nullopt;
    return std::u16string(units.substr(0, nul));
}

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && wcrt::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && wcrt::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool ShouldDeleteFacebookCookies()
{
    const SettingsKey key;
    const std::optional<DWORD> value = ReadDword(key, u"DeleteFacebookCookies");
    return !value || *value != 0;
}

std::u16string DefaultApplicationId()
{
    return u"" ZENDRIK_DEFAULT_APPLICATION_ID;
}

std::u16string ApplicationId()
{
    const SettingsKey key;
    const std::optional<std::u16string> value = ReadString<kMaxApplicationIdLength>(key, u"ApplicationID");
    if (!value)
        return DefaultApplicationId();
    const std::u16string_view trimmed = Trim(*value);
    return trimmed.empty() ? DefaultApplicationId() : std::u16string(trimmed);
}
