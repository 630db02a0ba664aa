#include "tools/standin/RedirectRoutes.h"

#include "tools/standin/WebPages.h"

namespace standin {

void RedirectRoutes::Handle(Exchange& exchange)
{
    exchange.SetKind("redirect_page");
    for (const auto& [name, value] : exchange.Query())
        exchange.Details()[name] = value;
    Answer answer = Answer::Html(200, PlainPage("Success", "You may close this window."));
    answer.headers.emplace_back("Cache-Control", "no-store");
    exchange.Reply(answer);
}

}  // namespace standin
