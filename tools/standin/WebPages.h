#pragma once
// The HTML pages of the web and redirect hosts.

#include <string>
#include <string_view>

namespace standin {

std::string HtmlEscape(std::string_view text);

struct LoginFormView {
    std::string action;           // where the form posts to
    std::string notice;           // shown above the fields, e.g. after a wrong password
    bool autosubmit = false;      // press the login button once both fields are filled
    int autosubmitDelayMs = 0;
    bool closeWindow = false;     // the page closes its window right after loading
};

std::string LoginFormPage(const LoginFormView& view);
std::string PlainPage(const std::string& title, const std::string& text, const std::string& link = {});

}  // namespace standin
