#pragma once
// The application's own per-user setting under the settings key (login/SettingsKey.h),
// read, never written. A failure to read it selects its default, silently. The other
// value there, "ApplicationID", belongs to the login (login/ApplicationId.h).

// "DeleteFacebookCookies": false only for a REG_DWORD that is 0; no key, no value, a
// value of another type or size all ask for the deletion.
bool ShouldDeleteFacebookCookies();
