#include "social/ExceptionStyles.h"

#include "platform/win32/WideText.h"

namespace social {

std::u16string ClientErrorLine(const Tavik::httpclientexceptionW& error)
{
    // Formatted as "%d" formats the number.
    return u"Exception, error code=" + WideDecimal(static_cast<std::int32_t>(error.Win32Error()));
}

void ReportRecoveredClientError(JobContext& job, const Tavik::httpclientexceptionW& error)
{
    const std::u16string line = ClientErrorLine(error);
    job.SetStatusTag(u"(error: " + line + u")");
    job.AppendLog(line);
}

void ReportRecoveredUnexpected(JobContext& job, std::u16string_view failureTag)
{
    job.AppendLog(u"Unexpected exception");
    job.SetStatusTag(std::u16string(failureTag));
}

}  // namespace social
