// The header lines of one or more response heads, as libcurl hands them over.

#include "platform/wininet/ResponseHead.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// Line by line, CR LF kept; a line starting with 'B' stands for body bytes arriving.
wininet::ResponseHead Follow(std::string_view text, bool followRedirects)
{
    wininet::ResponseHead head(followRedirects);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(line.size());
        if (line.starts_with('B'))
            head.OnBodyBytes();
        else
            head.OnLine(line);
        static_cast<void>(head.Ready(false));
        static_cast<void>(head.MayBeFollowed());
    }
    return head;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool followRedirects = (data[0] & 1) != 0;
    const wininet::ResponseHead head = Follow(fuzz::BytesOf(data + 1, size - 1), followRedirects);
    FUZZ_CHECK(head.Status() >= 0 && head.Status() <= 999);
    if (head.Ready(true))
        FUZZ_CHECK(head.Status() != 0);
    return 0;
}
