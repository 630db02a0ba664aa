#pragma once
// The photo and the video upload are one operation with other texts, address and
// field names: a multipart upload of the access token, an optional text field and the
// file, judged by the "id" of the answer.

#include "social/FileUpload.h"
#include "social/JobContext.h"

#include <string>

namespace social {

struct GraphFileUploadFields {
    const char16_t* textField;  // "caption" or "description"; sent only when not empty
    const char16_t* fileField;  // "ufile01" or "source"
};

std::u16string RunGraphFileUpload(JobContext& job, const FileUploadTexts& texts, const GraphFileUploadFields& fields,
                                  const std::u16string& address, const std::u16string& filePath,
                                  const std::u16string& text);

}  // namespace social
