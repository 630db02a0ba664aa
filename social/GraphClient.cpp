#include "social/GraphClient.h"

#include "service/ServiceClient.h"

namespace social {

void WatchForCancel(Tavik::CHttpClient& client, const JobContext& job) { client.SetRequestAbort(job.RequestAbort()); }

void ConfigureGraphClient(Tavik::CHttpClient& client, const JobContext& job)
{
    service::ConfigureServiceClient(client);
    WatchForCancel(client, job);
    client.AddParam(u"access_token", job.AccessToken().c_str(), 0);
}

}  // namespace social
