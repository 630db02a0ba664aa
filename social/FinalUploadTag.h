#pragma once
// The tag an upload leaves at the end of its exchange.

#include "social/JobContext.h"

#include <string>
#include <string_view>

namespace social {

// "(upload ok)" with a result; else "(error: Server returned:" + status text + ")"
// when there is a status text; else the upload's own failure tag.
void SetFinalUploadTag(JobContext& job, const std::u16string& result, const std::u16string& statusText,
                       std::u16string_view failureTag);

}  // namespace social
