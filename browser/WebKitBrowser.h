#pragma once
// The embedded browser of this build: wx's web view on its WebKitGTK backend, its
// notifications delivered to a BrowserEvents sink. A page's new window is asked for
// and, unless the sink cancels it, opened in a top-level window of its own; a page's
// request to close its window is asked for and, unless the sink keeps the browser,
// closes the top-level window the browser is in. No dialogs of the browser's own.

#include "browser/InitialBlankLoad.h"
#include "browser/WebKitNative.h"
#include "login/EmbeddedBrowser.h"

#include <wx/frame.h>
#include <wx/weakref.h>
#include <wx/webview.h>

#include <memory>
#include <string>
#include <vector>

class WebKitBrowser : public EmbeddedBrowser, private NativeViewHooks::Client {
public:
    // Creates the view as a child of parent, showing "about:blank". The first browser
    // of the process prepares WebKit's context first (cookie file, local trust).
    explicit WebKitBrowser(wxWindow* parent, const wxPoint& position = wxDefaultPosition,
                           const wxSize& size = wxDefaultSize);
    // Closes the windows its pages opened, then destroys the view (if its parent has
    // not destroyed it already).
    ~WebKitBrowser() override;
    WebKitBrowser(const WebKitBrowser&) = delete;
    WebKitBrowser& operator=(const WebKitBrowser&) = delete;

    // The browser's window, for the layout to move, size, show and hide; null once the
    // parent has destroyed it.
    wxWebView* View() const { return view_.get(); }

    void SetEventSink(BrowserEvents* sink) override { sink_ = sink; }
    void Navigate(const std::u16string& address) override;
    void SetTextInputValue(const std::u16string& name, const std::u16string& value) override;

private:
    void OnNavigating(wxWebViewEvent& event);
    void OnNavigated(wxWebViewEvent& event);
    void OnLoaded(wxWebViewEvent& event);
    void OnNewWindowEvent(wxWebViewEvent& event);
    void OnNativeNewWindow(const std::string& uri) override;
    void OnNativeScriptMessage(const std::string& handler, const std::string& message) override;
    void NewWindowRequested(const wxString& url);
    void OpenWindow(const wxString& url);
    void WindowClosing();

    wxWeakRef<wxWebView> view_;
    BrowserEvents* sink_ = nullptr;
    InitialBlankLoad initialBlank_;
    std::unique_ptr<NativeViewHooks> hooks_;
    std::vector<wxWeakRef<wxFrame>> popups_;
};
