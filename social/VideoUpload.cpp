#include "social/VideoUpload.h"

#include "social/GraphFileUpload.h"
#include "social/ServiceEndpoints.h"

namespace social {

std::u16string UploadVideo(JobContext& job, const std::u16string& filePath, const std::u16string& userId,
                           const std::u16string& description)
{
    static constexpr FileUploadTexts kTexts{
        u"Upload video: ",    u"(upload video)",
        u"Video not found: ", u"ERROR video file has 0 length: ",
        u"(upload video) (",  u"(error: Error uploading video)",
    };
    return RunGraphFileUpload(job, kTexts, {u"description", u"source"}, GraphVideoBase() + userId + u"/videos",
                              filePath, description);
}

}  // namespace social
