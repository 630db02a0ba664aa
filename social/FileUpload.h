#pragma once
// What the photo, video and GIF uploads share: the opening line and tag, the checks
// of the file before any connection, the multipart upload driven step by step with
// progress, the "Server returned: " line whatever the status, the final tag, and the
// recovering exception style. The uploads differ in their texts, their address, their
// fields and how they read the answer.

#include "httpclient/HttpClient.h"
#include "social/JobContext.h"
#include "social/ResponseReading.h"

#include <functional>
#include <string>
#include <string_view>

namespace social {

struct FileUploadTexts {
    std::u16string_view openingLine;        // "Upload photo: ", followed by the path
    std::u16string_view openingTag;         // "(upload photo)"
    std::u16string_view notFoundLine;       // "Photo not found: "
    std::u16string_view emptyFileLine;      // "ERROR photo file has 0 length: "
    std::u16string_view progressTagPrefix;  // "(upload photo) ("
    std::u16string_view failureTag;         // "(error: Error uploading photo)"
};

struct FileUploadRequest {
    std::u16string address;
    // Sets the client up and adds the fields, the file among them.
    std::function<void(Tavik::CHttpClient&)> setUp;
    // The result from the answer, after the "Server returned: " line.
    std::function<std::u16string(const ResponseHead&, Tavik::CHttpResponse&)> evaluate;
};

// The result, empty on failure. Never lets an exception out of the exchange.
std::u16string RunFileUpload(JobContext& job, const FileUploadTexts& texts, const std::u16string& filePath,
                             const FileUploadRequest& request);

}  // namespace social
