#pragma once
// Service hosts are the real services' by default; each may be replaced at run time
// by an environment variable holding host[:port] (a local stand-in service, say).

#include <string>
#include <string_view>

// The variable's value, trimmed, when it is set and not blank; else defaultHost. The
// value is used as it stands: it is the user's own configuration.
std::u16string EndpointHost(const char* environmentVariable, std::u16string_view defaultHost);
