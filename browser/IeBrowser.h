#pragma once
// The embedded browser of the Windows build: wx's web view on its IE backend, the
// WebBrowser control, set to the newest engine the machine has rather than the control's
// old default. Its notifications go to a BrowserEvents sink as WebKitBrowser's do. A
// failed navigation (the control's NavigateError) counts as a completed document, the
// error page the control would show, so that the login sees a page that is not its
// form rather than waiting for one. A page's request to close its window (the
// control's WindowClosing) is the sink's to grant.

#include "browser/InitialBlankLoad.h"
#include "login/EmbeddedBrowser.h"

#include <wx/frame.h>
#include <wx/weakref.h>
#include <wx/webview.h>

#include <string>
#include <vector>

class wxActiveXEvent;

class IeBrowser : public EmbeddedBrowser {
public:
    // Creates the view as a child of parent, showing "about:blank".
    explicit IeBrowser(wxWindow* parent, const wxPoint& position = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize);
    ~IeBrowser() override;
    IeBrowser(const IeBrowser&) = delete;
    IeBrowser& operator=(const IeBrowser&) = delete;

    // The browser's window, for the layout; null once the parent has destroyed it.
    wxWebView* View() const { return view_.get(); }

    void SetEventSink(BrowserEvents* sink) override { sink_ = sink; }
    void Navigate(const std::u16string& address) override;
    void SetTextInputValue(const std::u16string& name, const std::u16string& value) override;

private:
    static wxWebView* CreateControl(wxWindow* parent, const wxPoint& position, const wxSize& size);
    void OnNavigating(wxWebViewEvent& event);
    void OnNavigated(wxWebViewEvent& event);
    void OnLoaded(wxWebViewEvent& event);
    void OnError(wxWebViewEvent& event);
    void OnNewWindowEvent(wxWebViewEvent& event);
    void OnControlEvent(wxActiveXEvent& event);
    void OpenWindow(const wxString& url);

    wxWeakRef<wxWebView> view_;
    BrowserEvents* sink_ = nullptr;
    InitialBlankLoad initialBlank_;
    // A NavigateError already reported the document; the control's own error page that
    // may follow is the same document.
    bool errorReported_ = false;
    std::vector<wxWeakRef<wxFrame>> popups_;
};
