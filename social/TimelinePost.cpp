#include "social/TimelinePost.h"

#include "social/ExceptionStyles.h"
#include "social/GraphClient.h"
#include "social/GraphOutcome.h"
#include "social/ResponseReading.h"
#include "social/ServiceEndpoints.h"

namespace social {

namespace {

// A url-encoded body is pushed in one step: no progress, no cancel check.
constexpr DWORD WholeBody = 0xFFFFFFFF;

ResponsePtr SendPost(Tavik::CHttpClient& client, const std::u16string& address)
{
    client.StartPostContext(address.c_str(), Tavik::DEFAULT_REQUEST_FLAGS);
    ResponsePtr response;
    while (!response)
        response.reset(client.ProceedContext(WholeBody));
    return response;
}

}  // namespace

std::u16string PostLinkToTimeline(JobContext& job, const std::u16string& link, const std::u16string& message)
{
    job.SetStatusTag(u"(upload photo)");
    job.AppendLog(u"Posting URL...");
    return RunAborting(job, u"Unexpected exception posting URL to timeline", [&] {
        Tavik::CHttpClient client;
        ConfigureGraphClient(client, job);
        client.AddParam(u"link", link.c_str(), 0);
        if (message.empty()) {
            job.AppendLog(u"Posting URL...");
        } else {
            job.AppendLog(u"Posting URL and comment...");
            client.AddParam(u"message", message.c_str(), 0);
        }
        std::u16string result;
        {
            const ResponsePtr response = SendPost(client, GraphApiBase() + u"me/feed");
            const ResponseHead head = ReadResponseHead(job, *response, ServerReturnedLine::UnlessOk);
            if (head.status != 200)
                job.SetStatusTag(u"(error: Server returned:" + head.statusText + u")");
            result = ReadGraphOutcome(job, *response, {"id", u"Unknown error posting URL to timeline"});
        }
        job.SetStatusTag(result.empty() ? u"(error: Error uploading photo)" : u"(upload ok)");
        return result;
    });
}

}  // namespace social
