#pragma once
// The step loop of the three uploads, after StartUploadContext: before every step a
// "Progress: N%" line and the matching tag, then a cancel check; steps of at most 1024
// content bytes, so that both come about once per KiB of file.

#include "httpclient/HttpClient.h"
#include "social/JobContext.h"
#include "social/ResponseReading.h"

#include <string>
#include <string_view>

namespace social {

inline constexpr DWORD UploadStepBytes = 1024;

// "Progress: 42%" for posted/total of the whole body, rounded down.
std::u16string ProgressLine(DWORD actualPosted, DWORD actualTotal);

// Throws CancelSignal when the job's cancel was requested.
void ThrowIfCancelRequested(JobContext& job);

// Runs the steps until the response arrives; tagPrefix is "(upload photo) (" or
// "(upload video) (". May throw CancelSignal and the client's exceptions.
ResponsePtr DriveUploadContext(JobContext& job, Tavik::CHttpClient& client, std::u16string_view tagPrefix);

}  // namespace social
