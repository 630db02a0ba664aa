#include "service/ServiceClient.h"

namespace service {

void ConfigureServiceClient(Tavik::CHttpClient& client)
{
    client.SetInternetSettings(ServiceUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    client.SetUseUtf8(true);
}

}  // namespace service
