#pragma once
// Reading a finished request's answer: status and status text, the "Server returned: "
// line, the body as the bytes that arrived, and the body parsed as one JSON document.

#include "httpclient/HttpClient.h"
#include "social/JobContext.h"

#include <json/value.h>

#include <cstddef>
#include <memory>
#include <string>

namespace social {

using ResponsePtr = std::unique_ptr<Tavik::CHttpResponse>;

// Far above any real Graph or GIF service answer. A body that goes on past it is a
// failed request: reading stops and the same client exception is raised as when the
// body cannot be read at all (error 401, "::InternetReadFile failed."), with
// ERROR_INSUFFICIENT_BUFFER (122) as its Win32 error. So the operation fails as it does
// on any client error: the uploads report "Exception, error code=122", the others pass
// the exception on to the job. A server that never stops sending cannot exhaust memory.
inline constexpr std::size_t MaxResponseBodyBytes = 4 * 1024 * 1024;

struct ResponseHead {
    DWORD status = 0;
    std::u16string statusText;
};

enum class ServerReturnedLine {
    Always,    // the uploads: whatever the status
    UnlessOk,  // every other operation: only when the status is not 200
};

// GetStatus, then GetStatusText; appends "Server returned: " + status text by the rule.
ResponseHead ReadResponseHead(JobContext& job, Tavik::CHttpResponse& response, ServerReturnedLine rule);

// The whole body, one byte per read, up to MaxResponseBodyBytes (see there).
std::string ReadResponseBody(Tavik::CHttpResponse& response);

// A default-configured Json::Reader; false when the body is not one JSON document.
bool ParseResponseBody(const std::string& body, Json::Value& root);

}  // namespace social
