#pragma once
// The program's per-user registry key, read (never written) by the application for
// "DeleteFacebookCookies" and by the login for "ApplicationID". The application names
// it at start-up.

#include "platform/registry/Registry.h"

#include <cstddef>
#include <optional>
#include <string>

// The key's path below HKEY_CURRENT_USER. Set once at start-up, before the first read.
void SetSettingsKeyPath(std::u16string path);

// The key under HKEY_CURRENT_USER, opened for reading; closed with the object. A key
// that does not open, or was never named, reads as holding no values.
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
std::optional<std::u16string> ReadSettingsString(const SettingsKey& key, const char16_t* name, std::size_t maxLength);
