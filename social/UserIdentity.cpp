#include "social/UserIdentity.h"

#include "social/ExceptionStyles.h"
#include "social/GraphClient.h"
#include "social/GraphOutcome.h"
#include "social/ResponseReading.h"
#include "social/ServiceEndpoints.h"

namespace social {

namespace {

struct UserField {
    const char16_t* fieldsValue;
    GraphOutcomeRule rule;
    std::u16string_view unexpectedLine;
};

std::u16string QueryUserField(JobContext& job, const UserField& field)
{
    return RunAborting(job, field.unexpectedLine, [&] {
        Tavik::CHttpClient client;
        ConfigureGraphClient(client, job);
        client.AddParam(u"fields", field.fieldsValue, 0);
        const std::u16string address = GraphApiBase() + u"me";
        const ResponsePtr response(client.ExecuteGet(address.c_str(), Tavik::DEFAULT_REQUEST_FLAGS));
        if (!response)
            return std::u16string();
        ReadResponseHead(job, *response, ServerReturnedLine::UnlessOk);
        return ReadGraphOutcome(job, *response, field.rule);
    });
}

}  // namespace

std::u16string GetGuestName(JobContext& job)
{
    return QueryUserField(job, {u"name",
                                {"name", u"Unknown error getting user name", u"ERROR: Empty user name returned"},
                                u"Unexpected exception getting user name"});
}

std::u16string GetUserId(JobContext& job)
{
    return QueryUserField(job, {u"id",
                                {"id", u"Unknown error getting user id", u"ERROR: Null user id returned"},
                                u"Unexpected exception getting user id"});
}

}  // namespace social
