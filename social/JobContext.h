#pragma once
// What an operation needs from the job that runs it: the two reporting channels, the
// cancel flag and the access token. The main dialog provides it in the program, the
// headless runner in scripted booths, and the tests their own recorder.

#include "httpclient/HttpRequestAbort.h"

#include <string>

namespace social {

class JobContext {
public:
    virtual ~JobContext() = default;

    // One line into the log (any thread).
    virtual void AppendLog(const std::u16string& line) = 0;
    // The short status in the window title; returns once it is shown.
    virtual void SetStatusTag(const std::u16string& tag) = 0;
    virtual bool IsCancelRequested() = 0;
    virtual const std::u16string& AccessToken() const = 0;
    // Where the operations report their requests, so that a cancel ends the one in
    // flight at once instead of after its stall timeout; null when nothing cancels.
    virtual Tavik::CHttpRequestAbort* RequestAbort() const { return nullptr; }
};

// The cancellation signal, thrown as a plain int through the operations to the job.
constexpr int CancelSignal = 1;

}  // namespace social
