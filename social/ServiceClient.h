#pragma once
// The set-up every request of the program shares, done on a fresh client per request:
// the program's user agent with the system's proxy settings, and parameters sent as
// UTF-8. Graph requests also carry the job's access token.

#include "httpclient/HttpClient.h"
#include "social/JobContext.h"

namespace social {

inline constexpr char16_t ServiceUserAgent[] = u"Orvane Systems User Agent v1.0";

void ConfigureServiceClient(Tavik::CHttpClient& client);
// The client's requests end at once when the job is cancelled.
void WatchForCancel(Tavik::CHttpClient& client, const JobContext& job);
// ConfigureServiceClient, WatchForCancel, then the "access_token" parameter.
void ConfigureGraphClient(Tavik::CHttpClient& client, const JobContext& job);

}  // namespace social
