#pragma once
// The set-up every request of the program shares, to the Graph API, the GIF service and
// the web host alike, done on a fresh client per request: the program's user agent with
// the system's proxy settings, and parameters sent as UTF-8.

#include "httpclient/HttpClient.h"

namespace service {

inline constexpr char16_t ServiceUserAgent[] = u"Orvane Systems User Agent v1.0";

void ConfigureServiceClient(Tavik::CHttpClient& client);

}  // namespace service
