#pragma once
// Query strings and url-encoded bodies as the ordered name/value pairs that arrived:
// the record keeps the order, since the order on the wire is what tests check.

#include <json/json.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace standin {

using FormFields = std::vector<std::pair<std::string, std::string>>;

FormFields ParseFormFields(std::string_view encoded);
std::optional<std::string> FindField(const FormFields& fields, std::string_view name);
std::string EncodeComponent(std::string_view value);
Json::Value FieldsToJson(const FormFields& fields);  // [["name","value"], ...]

}  // namespace standin
