// Lines of the browser's cookie files, recognised as the web domain's cookies or not.

#include "login/FacebookCookieFile.h"
#include "login/WebEndpoints.h"
#include "platform/win32/Utf.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string webDomain = Utf16ToUtf8(FacebookWebDomain());
    FuzzedDataProvider input(data, size);
    const std::string otherDomain = input.ConsumeRandomLengthString(32);
    std::string_view text = fuzz::BytesOf(data, size).substr(size - input.remaining_bytes());
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        for (const std::string& domain : {webDomain, otherDomain}) {
            // A match names the domain in its first field.
            if (IsFacebookCookieLine(line, domain))
                FUZZ_CHECK(!domain.empty() && line.substr(0, line.find('\t')).ends_with(domain));
        }
    }
    return 0;
}
