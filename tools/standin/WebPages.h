#pragma once
// The HTML pages of the web and redirect hosts.

#include <string>
#include <string_view>

namespace standin {

std::string HtmlEscape(std::string_view text);

struct LoginFormView {
    std::string action;       // where the form posts to
    std::string notice;       // shown above the fields, e.g. after a wrong password
    bool autosubmit = false;  // press the login button once both fields are filled
    int autosubmitDelayMs = 0;
    bool closeWindow = false;  // the page closes its window right after loading
};

std::string LoginFormPage(const LoginFormView& view);
std::string PlainPage(const std::string& title, const std::string& text, const std::string& link = {});
// A page that opens a new window on loading: by script ("?open=script", window.open)
// or by a link aimed at a new window ("?open=link"); the new window shows
// "/?opened=script" or "/?opened=link", so the record tells whether it was opened.
std::string WindowOpeningPage();

}  // namespace standin
