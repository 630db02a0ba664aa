#include "social/FinalUploadTag.h"

namespace social {

void SetFinalUploadTag(JobContext& job, const std::u16string& result, const std::u16string& statusText,
                       std::u16string_view failureTag)
{
    if (!result.empty())
        job.SetStatusTag(u"(upload ok)");
    else if (!statusText.empty())
        job.SetStatusTag(u"(error: Server returned:" + statusText + u")");
    else
        job.SetStatusTag(std::u16string(failureTag));
}

}  // namespace social
