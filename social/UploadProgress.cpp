#include "social/UploadProgress.h"

#include "platform/win32/WideText.h"

#include <cstdint>

namespace social {

namespace {

DWORD Percent(DWORD actualPosted, DWORD actualTotal)
{
    return static_cast<DWORD>(std::uint64_t{actualPosted} * 100 / actualTotal);
}

// Before each step, the step's line and tag. A percentage lasts some 2,600 steps of a
// large file; its texts are made once, as making them anew for every step showed in
// the upload's time.
class ProgressReport {
public:
    explicit ProgressReport(std::u16string_view tagPrefix) : tagPrefix_(tagPrefix) {}

    void Before(JobContext& job, const Tavik::CHttpClient& client)
    {
        Tavik::CHttpPostStat stat;
        client.QueryPostStat(stat);
        if (stat.ActualTotalByte() == 0)
            return;
        const DWORD percent = Percent(stat.ActualPostedByte(), stat.ActualTotalByte());
        if (line_.empty() || percent != percent_) {
            line_ = ProgressLine(stat.ActualPostedByte(), stat.ActualTotalByte());
            tag_.assign(tagPrefix_).append(line_).append(u")");
            percent_ = percent;
        }
        job.AppendLog(line_);
        job.SetStatusTag(tag_);
    }

private:
    std::u16string_view tagPrefix_;
    DWORD percent_ = 0;
    std::u16string line_;
    std::u16string tag_;
};

}  // namespace

std::u16string ProgressLine(DWORD actualPosted, DWORD actualTotal)
{
    return u"Progress: " + WideDecimal(Percent(actualPosted, actualTotal)) + u"%";
}

void ThrowIfCancelRequested(JobContext& job)
{
    if (job.IsCancelRequested())
        throw CancelSignal;
}

ResponsePtr DriveUploadContext(JobContext& job, Tavik::CHttpClient& client, std::u16string_view tagPrefix)
{
    ProgressReport progress(tagPrefix);
    ResponsePtr response;
    while (!response) {
        progress.Before(job, client);
        ThrowIfCancelRequested(job);
        response.reset(client.ProceedContext(UploadStepBytes));
    }
    ThrowIfCancelRequested(job);
    return response;
}

}  // namespace social
