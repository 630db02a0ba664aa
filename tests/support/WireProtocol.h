#pragma once
// How a recording server is driven over its control channel: one JSON object per line
// each way, a command from the test and the wire host's answer. What came off or goes
// onto the wire travels as hex, since a JSON string holds valid UTF-8 only.

#include <string>
#include <string_view>

#include <json/value.h>

#include "tests/support/WireServer.h"

namespace testsupport::wire {

std::string ToLine(const Json::Value& message);  // without the line end
Json::Value FromLine(std::string_view line);     // throws std::runtime_error on bad JSON

Json::Value ToJson(const ScriptedReply& reply);
ScriptedReply ReplyFromJson(const Json::Value& json);

Json::Value ToJson(const RecordedRequest& request);
RecordedRequest RequestFromJson(const Json::Value& json);

std::string TlsModeName(TlsMode mode);
TlsMode TlsModeFromName(std::string_view name);  // throws std::runtime_error

}  // namespace testsupport::wire
