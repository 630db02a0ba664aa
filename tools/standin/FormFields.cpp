#include "tools/standin/FormFields.h"

#include <httplib.h>

namespace standin {

FormFields ParseFormFields(std::string_view encoded)
{
    FormFields fields;
    std::size_t start = 0;
    while (start <= encoded.size()) {
        std::size_t end = encoded.find('&', start);
        if (end == std::string_view::npos)
            end = encoded.size();
        const std::string_view pair = encoded.substr(start, end - start);
        if (!pair.empty()) {
            const std::size_t eq = pair.find('=');
            const std::string name(pair.substr(0, eq));
            const std::string value(eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1));
            fields.emplace_back(httplib::detail::decode_url(name, true), httplib::detail::decode_url(value, true));
        }
        start = end + 1;
    }
    return fields;
}

std::optional<std::string> FindField(const FormFields& fields, std::string_view name)
{
    for (const auto& [key, value] : fields) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

std::string EncodeComponent(std::string_view value) { return httplib::detail::encode_query_param(std::string(value)); }

Json::Value FieldsToJson(const FormFields& fields)
{
    Json::Value list(Json::arrayValue);
    for (const auto& [key, value] : fields) {
        Json::Value pair(Json::arrayValue);
        pair.append(key);
        pair.append(value);
        list.append(pair);
    }
    return list;
}

}  // namespace standin
