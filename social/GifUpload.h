#pragma once
// An animated GIF to the GIF service; its public address is what the job then posts
// to the timeline.

#include "social/JobContext.h"

#include <string>

namespace social {

// GifMediaBase + the GIF's id + "/giphy.gif", or empty after a logged failure. Never
// throws (recovering style).
std::u16string UploadGif(JobContext& job, const std::u16string& filePath);

}  // namespace social
