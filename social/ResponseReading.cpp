#include "social/ResponseReading.h"

#include "httpclient/HttpErrors.h"
#include "platform/win32/LastError.h"

#include <json/reader.h>

namespace social {

ResponseHead ReadResponseHead(JobContext& job, Tavik::CHttpResponse& response, ServerReturnedLine rule)
{
    ResponseHead head;
    head.status = response.GetStatus();
    const char16_t* text = response.GetStatusText();
    if (text != nullptr)
        head.statusText = text;
    if (rule == ServerReturnedLine::Always || head.status != 200)
        job.AppendLog(u"Server returned: " + head.statusText);
    return head;
}

std::string ReadResponseBody(Tavik::CHttpResponse& response)
{
    std::string body;
    BYTE byte = 0;
    while (response.ReadContent(&byte, 1) != 0) {
        if (body.size() == MaxResponseBodyBytes)
            Tavik::ThrowHttpApiError(Tavik::HttpError::InternetReadFileFailed, ERROR_INSUFFICIENT_BUFFER);
        body.push_back(static_cast<char>(byte));
    }
    return body;
}

bool ParseResponseBody(const std::string& body, Json::Value& root)
{
    Json::Reader reader;
    try {
        return reader.parse(body, root);
    } catch (const Json::Exception&) {
        // Nesting past the reader's stack limit is thrown, not reported.
        root = Json::Value();
        return false;
    }
}

}  // namespace social
