#include "tools/standin/WebPages.h"

namespace standin {

namespace {

const char* kStyle =
    "body{font-family:Helvetica,Arial,sans-serif;background:#e9ebee;margin:0;color:#1d2129}"
    ".box{background:#fff;max-width:360px;margin:40px auto;padding:20px;border-radius:4px;"
    "box-shadow:0 1px 2px rgba(0,0,0,.2)}"
    "h1{font-size:18px;margin:0 0 16px}"
    "input{display:block;width:100%;box-sizing:border-box;margin:0 0 12px;padding:10px;font-size:15px;"
    "border:1px solid #ccd0d5;border-radius:4px}"
    ".buttons{display:flex;gap:8px}"
    "button{flex:1;padding:10px;font-size:15px;font-weight:bold;border:0;border-radius:4px;cursor:pointer}"
    "#loginbutton{background:#4267b2;color:#fff}#cancelbutton{background:#e4e6eb;color:#4b4f56}"
    ".notice{color:#be4b49;margin:0 0 12px;font-size:14px}";

std::string Head(const std::string& title)
{
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + HtmlEscape(title) +
           "</title><meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><style>" + kStyle +
           "</style></head>\n";
}

// Polls the two inputs, because the program fills them from outside without any event.
std::string AutosubmitScript(int delayMs)
{
    return "<script>(function(){var sent=false;var timer=setInterval(function(){"
           "var e=document.getElementsByName('email')[0],p=document.getElementsByName('pass')[0];"
           "if(sent||!e||!p||!e.value||!p.value)return;sent=true;clearInterval(timer);"
           "setTimeout(function(){document.getElementById('loginbutton').click();}," +
           std::to_string(delayMs) + ");},100);})();</script>\n";
}

}  // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string LoginFormPage(const LoginFormView& view)
{
    std::string page = Head("Log in");
    page += "<body><div class=\"box\"><h1>Log in to continue</h1>\n";
    if (!view.notice.empty())
        page += "<div class=\"notice\" id=\"notice\">" + HtmlEscape(view.notice) + "</div>\n";
    page +=
        "<form id=\"login_form\" method=\"post\" action=\"" + HtmlEscape(view.action) +
        "\">\n"
        "<input type=\"text\" name=\"email\" id=\"email\" placeholder=\"Email or phone number\" "
        "autocomplete=\"username\">\n"
        "<input type=\"password\" name=\"pass\" id=\"pass\" placeholder=\"Password\" "
        "autocomplete=\"current-password\">\n"
        "<div class=\"buttons\"><button type=\"submit\" name=\"login\" id=\"loginbutton\" value=\"1\">Log In</button>\n"
        "<button type=\"submit\" name=\"cancel\" id=\"cancelbutton\" value=\"1\" formnovalidate>Cancel</button></div>\n"
        "</form></div>\n";
    if (view.autosubmit)
        page += AutosubmitScript(view.autosubmitDelayMs);
    if (view.closeWindow)
        page += "<script>setTimeout(function(){window.close();},300);</script>\n";
    return page + "</body></html>\n";
}

std::string PlainPage(const std::string& title, const std::string& text, const std::string& link)
{
    std::string page =
        Head(title) + "<body><div class=\"box\"><h1>" + HtmlEscape(title) + "</h1><p>" + HtmlEscape(text) + "</p>";
    if (!link.empty())
        page += "<p><a href=\"" + HtmlEscape(link) + "\">Continue</a></p>";
    return page + "</div></body></html>\n";
}

std::string WindowOpeningPage()
{
    return Head("Opening a window") +
           "<body><div class=\"box\"><h1>Opening a window</h1>"
           "<p><a id=\"link\" href=\"/?opened=link\" target=\"_blank\">Open</a></p></div>\n"
           "<script>(function(){var q=location.search;"
           "if(q.indexOf('open=script')>=0)window.open('/?opened=script','_blank');"
           "if(q.indexOf('open=link')>=0)document.getElementById('link').click();})();</script>\n"
           "</body></html>\n";
}

}  // namespace standin
