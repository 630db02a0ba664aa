#pragma once
// A Graph request's client: the set-up every request shares, then the job's access
// token.

#include "httpclient/HttpClient.h"
#include "social/JobContext.h"

namespace social {

// The client's requests end at once when the job is cancelled.
void WatchForCancel(Tavik::CHttpClient& client, const JobContext& job);
// service::ConfigureServiceClient, WatchForCancel, then the "access_token" parameter.
void ConfigureGraphClient(Tavik::CHttpClient& client, const JobContext& job);

}  // namespace social
