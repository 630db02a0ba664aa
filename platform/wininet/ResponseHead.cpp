#include "platform/wininet/ResponseHead.h"

#include <algorithm>
#include <cctype>

namespace wininet {

namespace {

std::string_view StripLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    return line;
}

bool IsRedirectStatus(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

}  // namespace

ResponseHead::Event ResponseHead::OnLine(std::string_view raw)
{
    const std::string_view line = StripLineEnd(raw);
    if (!inHead_) {
        if (!line.starts_with("HTTP/")) {
            return Event::None;  // trailers after a chunked body
        }
        BeginHead(line);
        return Event::NewHead;
    }
    if (line.empty()) {
        inHead_ = false;
        ended_ = status_ >= 200;
        return Event::HeadEnded;
    }
    if (StartsWithNoCase(line, "location:")) {
        hasLocation_ = true;
    }
    return Event::None;
}

void ResponseHead::BeginHead(std::string_view statusLine)
{
    inHead_ = true;
    ended_ = false;
    hasLocation_ = false;
    bodySeen_ = false;
    // "HTTP/1.1 404 Not Found": the version, the code, then the reason phrase to the end.
    std::string_view rest = statusLine.substr(std::min(statusLine.find(' '), statusLine.size()));
    while (rest.starts_with(' ')) {
        rest.remove_prefix(1);
    }
    int code = 0;
    std::size_t digits = 0;
    while (digits < rest.size() && digits < 3 && std::isdigit(static_cast<unsigned char>(rest[digits]))) {
        code = code * 10 + (rest[digits] - '0');
        ++digits;
    }
    rest.remove_prefix(digits);
    if (rest.starts_with(' ')) {
        rest.remove_prefix(1);
    }
    status_ = code;
    reason_ = std::string(rest);
    if (IsRedirectStatus(code)) {
        sawRedirect_ = true;
    }
}

bool ResponseHead::MayBeFollowed() const { return followRedirects_ && IsRedirectStatus(status_) && hasLocation_; }

bool ResponseHead::Ready(bool finished) const
{
    if (!ended_) {
        return false;
    }
    return finished || bodySeen_ || !MayBeFollowed();
}

}  // namespace wininet
