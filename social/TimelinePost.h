#pragma once
// A link, with an optional message, on the user's timeline: a web address job, or the
// address of an uploaded GIF.

#include "social/JobContext.h"

#include <string>

namespace social {

// The post id, or empty after a logged failure. Throws on to the job (aborting style).
std::u16string PostLinkToTimeline(JobContext& job, const std::u16string& link, const std::u16string& message);

}  // namespace social
