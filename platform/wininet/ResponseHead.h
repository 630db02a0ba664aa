#pragma once
// Follows the header lines libcurl hands over and keeps the status of the response the
// caller gets: interim 1xx heads are skipped, and so is a redirect that libcurl goes on
// to follow.

#include <string>
#include <string_view>

namespace wininet {

class ResponseHead {
public:
    enum class Event { None, NewHead, HeadEnded };

    explicit ResponseHead(bool followRedirects) : followRedirects_(followRedirects) {}

    // One line as libcurl delivers it, CR LF included.
    Event OnLine(std::string_view line);
    void OnBodyBytes() { bodySeen_ = true; }

    // The final head is known: it has ended and is neither interim nor a redirect that
    // is about to be followed. `finished`: the transfer is over, so nothing else comes.
    bool Ready(bool finished) const;

    // The head in progress or last ended is a redirect libcurl may still follow; its body
    // is not the response's.
    bool MayBeFollowed() const;
    // A head was received and it was a redirect.
    bool SawRedirect() const { return sawRedirect_; }

    int Status() const { return status_; }
    const std::string& Reason() const { return reason_; }

private:
    bool followRedirects_;
    bool inHead_ = false;
    bool ended_ = false;
    bool hasLocation_ = false;
    bool bodySeen_ = false;
    bool sawRedirect_ = false;
    int status_ = 0;
    std::string reason_;

    void BeginHead(std::string_view statusLine);
};

}  // namespace wininet
