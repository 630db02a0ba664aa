#pragma once
// The scripts the browser layer runs in its pages. Free of the toolkit, so that what
// they say can be checked without a display.

#include <string>
#include <string_view>

// The name under which pages post to the browser (window.webkit.messageHandlers.NAME).
inline constexpr char kWindowMessageHandler[] = "zendrikWindow";
// What a page posts there when it asks to close its window.
inline constexpr char kCloseMessage[] = "close";

// A JavaScript string literal (double quotes) for the text: pure ASCII, every unit
// outside printable ASCII, and the quote, backslash, '<' and '>', as \uXXXX, so that
// lone surrogates and line separators survive and nothing can end the literal.
std::string JavaScriptStringLiteral(std::u16string_view text);

// Run at the start of every top-level document: window.close() posts kCloseMessage
// instead of closing, so the browser decides.
std::string WindowCloseScript();

// Sets the value of the document's first element of that name when it is an input of
// a text-like type (text, password, email, search, tel, url); no event, no submit.
std::string SetTextInputScript(std::u16string_view name, std::u16string_view value);
