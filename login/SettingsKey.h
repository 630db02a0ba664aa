#pragma once
// The program's per-user registry key, read (never written) by the application for
// "DeleteFacebookCookies" and by the login for "ApplicationID".

#include "platform/registry/Registry.h"

#include <cstddef>
#include <optional>
#include <string>

inline constexpr char16_t SettingsKeyPath[] = u"Software\\OrvaneSystems\\Zendrik\\100";

// The key under HKEY_CURRENT_USER, opened for reading; closed with the object. A key
// that does not open reads as holding no values.
class SettingsKey {
public:
    SettingsKey();
    ~SettingsKey();
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A REG_SZ or REG_EXPAND_SZ value (the latter without expansion) of at most maxLength
// characters, up to its first NUL; nullopt for every other outcome (absent, another
// type, longer, no terminating NUL within the data).
std::optional<std::u16string> ReadSettingsString(const SettingsKey& key, LPCWSTR name, std::size_t maxLength);
