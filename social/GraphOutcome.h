#pragma once
// How a Graph answer is judged: by its body, not by the HTTP status. A non-empty
// result member is the result; otherwise a non-empty "error" object is reported by its
// "message", or by the operation's unknown-error line when it has none.
//
// "Empty" is Json::Value::empty: null, an array without elements or an object without
// members. Looking into a value that is neither an object nor null raises the JSON
// library's exception, which the operations' exception styles handle.

#include "httpclient/HttpClient.h"
#include "social/JobContext.h"

#include <json/value.h>

#include <string>
#include <string_view>

namespace social {

struct GraphOutcomeRule {
    const char* resultMember = "id";
    std::u16string_view unknownErrorLine;
    // Appended when the result member is present but converts to empty text; empty
    // for the operations that log nothing then.
    std::u16string_view emptyResultLine = {};
};

// "ERROR: " + the message text, or unknownErrorLine when error["message"] is empty.
void LogGraphError(JobContext& job, const Json::Value& error, std::u16string_view unknownErrorLine);

// The result text, or empty after whatever the rule logs.
std::u16string EvaluateGraphOutcome(JobContext& job, const Json::Value& root, const GraphOutcomeRule& rule);

// The whole body read, parsed and evaluated; a body that is not JSON gives the empty
// result without a line.
std::u16string ReadGraphOutcome(JobContext& job, Tavik::CHttpResponse& response, const GraphOutcomeRule& rule);

}  // namespace social
