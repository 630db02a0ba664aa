#pragma once
// libcurl's process-wide set-up, done once before the first handle is made.

namespace wininet {

// False when libcurl could not be initialised; nothing else may then be called.
bool EnsureCurlGlobal();

}  // namespace wininet
