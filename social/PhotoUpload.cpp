#include "social/PhotoUpload.h"

#include "social/GraphFileUpload.h"
#include "social/ServiceEndpoints.h"

namespace social {

std::u16string UploadPhoto(JobContext& job, const std::u16string& filePath, const std::u16string& albumId,
                           const std::u16string& caption)
{
    static constexpr FileUploadTexts kTexts{
        u"Upload photo: ",    u"(upload photo)",
        u"Photo not found: ", u"ERROR photo file has 0 length: ",
        u"(upload photo) (",  u"(error: Error uploading photo)",
    };
    return RunGraphFileUpload(job, kTexts, {u"caption", u"ufile01"}, GraphApiBase() + albumId + u"/photos", filePath,
                              caption);
}

}  // namespace social
