#pragma once
// Where a request goes: the address handed to libcurl, built from the connection's server
// and port and the request's object name, and the parsing of the addresses that the
// connection check is given.

#include "platform/win32/Win32Types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wininet {

struct Endpoint {
    bool secure = false;
    std::string host;  // without brackets
    std::uint16_t port = 0;
};

// "https://host:port/path?query". The fragment is not part of a request, and bytes that
// may not stand in a URL as they are are percent-encoded; a missing leading "/" is added.
std::string RequestUrl(const Endpoint& endpoint, std::string_view objectName);

// "scheme://host:port/" of the endpoint alone.
std::string RootUrl(const Endpoint& endpoint);

// Port 0 stands for the scheme's default port.
std::uint16_t EffectivePort(const Endpoint& endpoint);

// Letters, digits, '-', '.', '_' and, for an IPv6 literal, ':': nothing that could change
// the meaning of the address it is put into.
bool IsValidHostName(std::string_view host);

// Names under the reserved top-level domain "invalid" never resolve; they are refused
// here without asking any name server.
bool IsReservedInvalidName(std::string_view host);

// An "http://" or "https://" address, as InternetCheckConnectionW takes it. On failure
// `error` is ERROR_INTERNET_UNRECOGNIZED_SCHEME or ERROR_INTERNET_INVALID_URL.
std::optional<Endpoint> ParseHttpUrl(std::string_view url, DWORD& error);

}  // namespace wininet
