#pragma once
// Answers of the imitated services are written by hand rather than by jsoncpp, so that
// members keep the services' order and strings are escaped the way the Graph API does
// it ("\/" and "\uXXXX" for everything outside ASCII).

#include <string>
#include <string_view>

namespace standin {

std::string JsonQuote(std::string_view utf8);

class JsonObjectText {
public:
    JsonObjectText& Add(std::string_view key, std::string_view value);
    JsonObjectText& AddNumber(std::string_view key, long long value);
    JsonObjectText& AddBool(std::string_view key, bool value);
    JsonObjectText& AddRaw(std::string_view key, std::string_view json);
    std::string Text() const;

private:
    std::string members_;
};

}  // namespace standin
