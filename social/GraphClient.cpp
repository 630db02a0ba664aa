#include "social/GraphClient.h"

#include "service/ServiceClient.h"

namespace social {

void ConfigureGraphClient(Tavik::CHttpClient& client, const JobContext& job)
{
    service::ConfigureServiceClient(client);
    client.AddParam(u"access_token", job.AccessToken().c_str(), 0);
}

}  // namespace social
