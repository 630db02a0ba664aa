#pragma once
// The two ways an operation deals with exceptions from its client set-up on.
//
// Recovering (the uploads): the operation reports the failure itself and returns what
// it has, so the job goes on. A client error sets the tag "(error: Exception, error
// code=N)" and logs the same line; anything else, the cancel signal and the JSON
// library's exceptions included, logs "Unexpected exception" and sets the upload's
// failure tag.
//
// Aborting (everything else): a client error goes on to the job unchanged; anything
// else logs the operation's catch-all line and becomes the cancel signal, so the job
// stops with "Upload cancelled" or "ERROR: Unexpected exception".
//
// A client error while the job is cancelled is the cancel ending the request in flight,
// and is handled as the cancel signal in both styles.
//
// The work's client and response live inside the work, so both are gone before the
// handlers run.

#include "httpclient/HttpClientException.h"
#include "social/JobContext.h"

#include <string>
#include <string_view>
#include <utility>

namespace social {

void ReportRecoveredClientError(JobContext& job, const Tavik::httpclientexceptionW& error);
void ReportRecoveredUnexpected(JobContext& job, std::u16string_view failureTag);

template <typename Work>
void RunRecovering(JobContext& job, std::u16string_view failureTag, Work&& work)
{
    try {
        std::forward<Work>(work)();
    } catch (const Tavik::httpclientexceptionW& error) {
        if (job.IsCancelRequested())
            ReportRecoveredUnexpected(job, failureTag);
        else
            ReportRecoveredClientError(job, error);
    } catch (...) {
        ReportRecoveredUnexpected(job, failureTag);
    }
}

template <typename Work>
auto RunAborting(JobContext& job, std::u16string_view catchAllLine, Work&& work) -> decltype(work())
{
    try {
        return std::forward<Work>(work)();
    } catch (const Tavik::httpclientexceptionW&) {
        if (job.IsCancelRequested())
            throw CancelSignal;
        throw;
    } catch (...) {
        job.AppendLog(std::u16string(catchAllLine));
        throw CancelSignal;
    }
}

}  // namespace social
