#pragma once
// A still image into an album ("me" for the user's default photos).

#include "social/JobContext.h"

#include <string>

namespace social {

// The photo id, or empty after a logged failure. Never throws (recovering style).
std::u16string UploadPhoto(JobContext& job, const std::u16string& filePath, const std::u16string& albumId,
                           const std::u16string& caption);

}  // namespace social
