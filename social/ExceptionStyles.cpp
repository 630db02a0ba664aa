#include "social/ExceptionStyles.h"

#include "service/ClientErrorLine.h"

namespace social {

void ReportRecoveredClientError(JobContext& job, const Tavik::httpclientexceptionW& error)
{
    const std::u16string line = service::ClientErrorLine(error);
    job.SetStatusTag(u"(error: " + line + u")");
    job.AppendLog(line);
}

void ReportRecoveredUnexpected(JobContext& job, std::u16string_view failureTag)
{
    job.AppendLog(u"Unexpected exception");
    job.SetStatusTag(std::u16string(failureTag));
}

}  // namespace social
