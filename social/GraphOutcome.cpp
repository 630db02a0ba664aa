#include "social/GraphOutcome.h"

#include "social/JsonStringToWide.h"
#include "social/ResponseReading.h"

namespace social {

void LogGraphError(JobContext& job, const Json::Value& error, std::u16string_view unknownErrorLine)
{
    const Json::Value& message = error["message"];
    if (message.empty()) {
        job.AppendLog(std::u16string(unknownErrorLine));
        return;
    }
    job.AppendLog(u"ERROR: " + JsonStringToWide(message));
}

std::u16string EvaluateGraphOutcome(JobContext& job, const Json::Value& root, const GraphOutcomeRule& rule)
{
    const Json::Value& result = root[rule.resultMember];
    const Json::Value& error = root["error"];
    if (!result.empty()) {
        std::u16string text = JsonStringToWide(result);
        if (text.empty() && !rule.emptyResultLine.empty())
            job.AppendLog(std::u16string(rule.emptyResultLine));
        return text;
    }
    if (!error.empty())
        LogGraphError(job, error, rule.unknownErrorLine);
    return {};
}

std::u16string ReadGraphOutcome(JobContext& job, Tavik::CHttpResponse& response, const GraphOutcomeRule& rule)
{
    Json::Value root;
    if (!ParseResponseBody(ReadResponseBody(response), root))
        return {};
    return EvaluateGraphOutcome(job, root, rule);
}

}  // namespace social
