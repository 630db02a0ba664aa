#pragma once
// A web view starts out loading "about:blank" of its own accord, and that load may still
// report after the sink is attached: its events are not the sink's, up to its end or the
// first event of another document.

#include <wx/string.h>
#include <wx/webview.h>

class InitialBlankLoad {
public:
    // Whether an event for url belongs to the view's own first load; documentEnds for
    // the event that ends a document.
    bool Holds(const wxString& url, bool documentEnds)
    {
        if (!loading_)
            return false;
        if (url != wxWebViewDefaultURLStr) {
            loading_ = false;
            return false;
        }
        if (documentEnds)
            loading_ = false;
        return true;
    }

private:
    bool loading_ = true;
};
