#include "social/GraphFileUpload.h"

#include "social/GraphClient.h"
#include "social/GraphOutcome.h"

namespace social {

std::u16string RunGraphFileUpload(JobContext& job, const FileUploadTexts& texts, const GraphFileUploadFields& fields,
                                  const std::u16string& address, const std::u16string& filePath,
                                  const std::u16string& text)
{
    FileUploadRequest request;
    request.address = address;
    request.setUp = [&](Tavik::CHttpClient& client) {
        ConfigureGraphClient(client, job);
        if (!text.empty())
            client.AddParam(fields.textField, text.c_str(), 0);
        client.AddParam(fields.fileField, filePath.c_str(), Tavik::PARAM_FLAG_FILE);
    };
    request.evaluate = [&](const ResponseHead&, Tavik::CHttpResponse& response) {
        return ReadGraphOutcome(job, response, {"id", u"ERROR: Unknown error"});
    };
    return RunFileUpload(job, texts, filePath, request);
}

}  // namespace social
