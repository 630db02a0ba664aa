#pragma once
// The wide text of a JSON string value as the operations show it: one-, two- and
// three-byte UTF-8 sequences decode to one UTF-16 code unit each; characters beyond
// the Basic Multilingual Plane are dropped.

#include <json/value.h>

#include <string>

namespace social {

// The empty text unless the value is a JSON string.
std::u16string JsonStringToWide(const Json::Value& value);

}  // namespace social
