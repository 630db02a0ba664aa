#pragma once
// The Facebook application identifier the login dialog is opened for.

#include <string>

// "ApplicationID" of the settings key (REG_SZ, or REG_EXPAND_SZ taken without
// expansion), trimmed of white space; the compiled-in identifier when it is absent,
// blank, longer than 255 characters, without a terminating NUL or of another type.
// Read anew at every call.
std::u16string ApplicationId();

// The compiled-in identifier, a 15-digit decimal text chosen at configure time.
std::u16string DefaultApplicationId();
