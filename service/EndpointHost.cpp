#include "service/EndpointHost.h"

#include "platform/win32/Utf.h"

#include <cstdlib>

namespace {

std::string_view TrimAscii(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const std::size_t begin = text.find_first_not_of(kBlanks);
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

}  // namespace

std::u16string EndpointHost(const char* environmentVariable, std::u16string_view defaultHost)
{
    const char* value = std::getenv(environmentVariable);
    const std::string_view host = value == nullptr ? std::string_view() : TrimAscii(value);
    return host.empty() ? std::u16string(defaultHost) : Utf8ToUtf16(host);
}
