#pragma once
// The two per-user settings the program reads (never writes), under HKEY_CURRENT_USER.
// Every failure to read one selects its default, silently.

#include <string>

inline constexpr char16_t SettingsKeyPath[] = u"Software\\OrvaneSystems\\Zendrik\\100";

// "DeleteFacebookCookies": false only for a REG_DWORD that is 0; no key, no value, a
// value of another type or size all ask for the deletion.
bool ShouldDeleteFacebookCookies();

// "ApplicationID" (REG_SZ, or REG_EXPAND_SZ taken without expansion), trimmed of white
// space; the compiled-in identifier when it is absent, blank, longer than 255
// characters, without a terminating NUL or of another type. Read anew at every call.
std::u16string ApplicationId();

// The compiled-in identifier, a 15-digit decimal text chosen at configure time.
std::u16string DefaultApplicationId();
