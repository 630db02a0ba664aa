// What the recording server's two forms share: the server itself on Linux
// (WireServer.cpp), and on Windows its client (RemoteWireServer.cpp), which drives a
// server in the Linux wire host beside the test under Wine.

#include <algorithm>
#include <cctype>

#include "tests/support/WireServer.h"

namespace testsupport {

std::optional<std::string> RecordedRequest::Header(std::string_view name) const
{
    const auto equalNoCase = [](std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
    };
    for (const auto& [key, value] : headers)
        if (equalNoCase(key, name))
            return value;
    return std::nullopt;
}

std::string LocalHostName()
{
#ifdef _WIN32
    return "localhost";
#else
    return "127.0.0.1";
#endif
}

std::string WireServer::HostPort() const { return LocalHostName() + ":" + std::to_string(Port()); }

std::u16string WireServer::BaseUrlW() const
{
    const std::string url = BaseUrl();
    return std::u16string(url.begin(), url.end());  // ASCII only
}

}  // namespace testsupport
