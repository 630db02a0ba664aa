#pragma once
// A window a page opened: a top-level frame with a browser of its own, showing the
// page's title. Its pages may open further windows and close this one.

#include "browser/LoginBrowser.h"
#include "login/EmbeddedBrowser.h"

#include <wx/frame.h>

#include <memory>

class PopupWindow : public wxFrame, private BrowserEvents {
public:
    // owner: the opening browser's top-level window (this one closes with it).
    PopupWindow(wxWindow* owner, const wxString& url);
    ~PopupWindow() override;

private:
    void OnBeforeNavigate(const std::u16string&) override {}
    void OnNavigateComplete(const std::u16string&) override {}
    void OnDocumentComplete(const std::u16string&) override;
    bool OnNewWindow() override { return false; }
    bool OnWindowClosing() override { return false; }

    std::unique_ptr<LoginBrowser> browser_;
};
