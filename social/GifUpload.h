#pragma once
// An animated GIF to the GIF service; its public address is what the job then posts
// to the timeline.

#include "social/JobContext.h"

#include <string>

namespace social {

// GifMediaBase + the GIF's id + "/giphy.gif", or empty after a logged failure. Never
// throws (recovering style).
std::u16string UploadGif(JobContext& job, const std::u16string& filePath);

// The GIF's public address from the service's answer: only {"data":{"id":"<string>"}}
// counts, the service's error reports are not read. Empty for any other body.
std::u16string GifAddressFrom(const std::string& body);

}  // namespace social
