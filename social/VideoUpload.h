#pragma once
// A video into the user's videos, on the Graph video host.

#include "social/JobContext.h"

#include <string>

namespace social {

// The video id, or empty after a logged failure. Never throws (recovering style).
std::u16string UploadVideo(JobContext& job, const std::u16string& filePath, const std::u16string& userId,
                           const std::u16string& description);

}  // namespace social
