#include "browser/PageScripts.h"

#include <cstdio>

std::string JavaScriptStringLiteral(std::u16string_view text)
{
    std::string literal = "\"";
    literal.reserve(text.size() + 2);
    for (const char16_t unit : text) {
        const bool plain = unit >= 0x20 && unit < 0x7F && unit != u'"' && unit != u'\\' && unit != u'<' && unit != u'>';
        if (plain) {
            literal.push_back(static_cast<char>(unit));
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
        literal.append(escape);
    }
    literal.push_back('"');
    return literal;
}

std::string WindowCloseScript()
{
    return std::string("(function(){var handlers=window.webkit&&window.webkit.messageHandlers;"
                       "var handler=handlers&&handlers.") +
           kWindowMessageHandler +
           ";"
           "if(!handler)return;"
           "window.close=function(){handler.postMessage(\"" +
           kCloseMessage + "\");};})();";
}

std::string SetTextInputScript(std::u16string_view name, std::u16string_view value)
{
    return "(function(name,value){var element=document.getElementsByName(name)[0];"
           "if(!element||element.tagName.toLowerCase()!==\"input\")return;"
           "if([\"text\",\"password\",\"email\",\"search\",\"tel\",\"url\"].indexOf(element.type)<0)return;"
           "element.value=value;})(" +
           JavaScriptStringLiteral(name) + "," + JavaScriptStringLiteral(value) + ");";
}
