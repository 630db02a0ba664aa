#pragma once
// The address of Facebook's OAuth login dialog in the implicit ("token") flow.

#include <string>

// OAuthDialogAddress(), "?client_id=", ApplicationId(), "&redirect_uri=",
// RedirectAddress(), then the fixed rest; concatenated without any encoding.
std::u16string BuildLoginUrl();
