#include "social/ServiceClient.h"

namespace social {

void ConfigureServiceClient(Tavik::CHttpClient& client)
{
    client.SetInternetSettings(ServiceUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    client.SetUseUtf8(true);
}

void WatchForCancel(Tavik::CHttpClient& client, const JobContext& job) { client.SetRequestAbort(job.RequestAbort()); }

void ConfigureGraphClient(Tavik::CHttpClient& client, const JobContext& job)
{
    ConfigureServiceClient(client);
    WatchForCancel(client, job);
    client.AddParam(u"access_token", job.AccessToken().c_str(), 0);
}

}  // namespace social
