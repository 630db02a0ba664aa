#include "social/GifUpload.h"

#include "service/ServiceClient.h"
#include "social/FileUpload.h"
#include "social/GraphClient.h"
#include "social/JsonStringToWide.h"
#include "social/ServiceEndpoints.h"

namespace social {

std::u16string GifAddressFrom(const std::string& body)
{
    Json::Value root;
    if (!ParseResponseBody(body, root))
        return {};
    try {
        const Json::Value& data = root["data"];
        if (!data.isObject())
            return {};
        const Json::Value& id = data["id"];
        if (!id.isString())
            return {};
        return GifMediaBase() + JsonStringToWide(id) + u"/giphy.gif";
    } catch (...) {
        // A root that is not an object: no address, and nothing to report.
        return {};
    }
}

std::u16string UploadGif(JobContext& job, const std::u16string& filePath)
{
    static constexpr FileUploadTexts kTexts{
        u"Upload GIF: ",     u"(upload video)",
        u"GIF not found: ",  u"ERROR GIF file has 0 length: ",
        u"(upload video) (", u"(error: Error uploading GIF)",
    };
    FileUploadRequest request;
    request.address = GifUploadAddress();
    request.setUp = [&](Tavik::CHttpClient& client) {
        service::ConfigureServiceClient(client);
        WatchForCancel(client, job);
        client.AddParam(u"api_key", GifApiKey, 0);
        client.AddParam(u"file", filePath.c_str(), Tavik::PARAM_FLAG_FILE);
    };
    request.evaluate = [](const ResponseHead& head, Tavik::CHttpResponse& response) {
        if (head.status != 200)
            return std::u16string();
        return GifAddressFrom(ReadResponseBody(response));
    };
    return RunFileUpload(job, kTexts, filePath, request);
}

}  // namespace social
