#include "social/UploadProgress.h"

#include "platform/win32/WideText.h"

#include <cstdint>

namespace social {

std::u16string ProgressLine(DWORD actualPosted, DWORD actualTotal)
{
    const auto percent = static_cast<DWORD>(std::uint64_t{actualPosted} * 100 / actualTotal);
    return u"Progress: " + WideDecimal(percent) + u"%";
}

void ThrowIfCancelRequested(JobContext& job)
{
    if (job.IsCancelRequested())
        throw CancelSignal;
}

namespace {

void ReportProgress(JobContext& job, const Tavik::CHttpClient& client, std::u16string_view tagPrefix)
{
    Tavik::CHttpPostStat stat;
    client.QueryPostStat(stat);
    if (stat.ActualTotalByte() == 0)
        return;
    const std::u16string line = ProgressLine(stat.ActualPostedByte(), stat.ActualTotalByte());
    job.AppendLog(line);
    job.SetStatusTag(std::u16string(tagPrefix) + line + u")");
}

}  // namespace

ResponsePtr DriveUploadContext(JobContext& job, Tavik::CHttpClient& client, std::u16string_view tagPrefix)
{
    ResponsePtr response;
    while (!response) {
        ReportProgress(job, client, tagPrefix);
        ThrowIfCancelRequested(job);
        response.reset(client.ProceedContext(UploadStepBytes));
    }
    ThrowIfCancelRequested(job);
    return response;
}

}  // namespace social
