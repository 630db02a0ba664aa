#pragma once
// Who is logged in: the guest's display name (to greet them) and numeric id (the video
// upload's address holds it). Both throw on to the job (aborting style).

#include "social/JobContext.h"

#include <string>

namespace social {

std::u16string GetGuestName(JobContext& job);
std::u16string GetUserId(JobContext& job);

}  // namespace social
