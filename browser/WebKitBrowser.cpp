#include "browser/WebKitBrowser.h"

#include "browser/LocalTrust.h"
#include "browser/PageScripts.h"
#include "browser/PopupWindow.h"
#include "browser/WebContextSetup.h"
#include "browser/WxText.h"

#include <wx/toplevel.h>

WebKitBrowser::WebKitBrowser(wxWindow* parent, const wxPoint& position, const wxSize& size)
{
    PrepareWebContext(CurrentWebContextSetup());
    wxWebView* view = wxWebView::New(parent, wxID_ANY, wxWebViewDefaultURLStr, position, size, wxWebViewBackendWebKit);
    view_ = view;
    NativeViewHooks::Client& client = *this;
    hooks_ = std::make_unique<NativeViewHooks>(view->GetNativeBackend(), client);
    view->Bind(wxEVT_WEBVIEW_NAVIGATING, &WebKitBrowser::OnNavigating, this);
    view->Bind(wxEVT_WEBVIEW_NAVIGATED, &WebKitBrowser::OnNavigated, this);
    view->Bind(wxEVT_WEBVIEW_LOADED, &WebKitBrowser::OnLoaded, this);
    view->Bind(wxEVT_WEBVIEW_NEWWINDOW, &WebKitBrowser::OnNewWindowEvent, this);
    // WebKit's own "close" signal misses most requests; the wrapped window.close() does not.
    hooks_->AddMessageHandler(kWindowMessageHandler);
    view->AddUserScript(WindowCloseScript(), wxWEBVIEW_INJECT_AT_DOCUMENT_START);
}

WebKitBrowser::~WebKitBrowser()
{
    sink_ = nullptr;
    for (const wxWeakRef<wxFrame>& popup : popups_) {
        if (popup)
            popup->Destroy();
    }
    hooks_.reset();
    if (wxWebView* view = view_.get()) {
        view->Unbind(wxEVT_WEBVIEW_NAVIGATING, &WebKitBrowser::OnNavigating, this);
        view->Unbind(wxEVT_WEBVIEW_NAVIGATED, &WebKitBrowser::OnNavigated, this);
        view->Unbind(wxEVT_WEBVIEW_LOADED, &WebKitBrowser::OnLoaded, this);
        view->Unbind(wxEVT_WEBVIEW_NEWWINDOW, &WebKitBrowser::OnNewWindowEvent, this);
        view->Destroy();
    }
}

void WebKitBrowser::Navigate(const std::u16string& address)
{
    wxWebView* view = view_.get();
    if (view == nullptr)
        return;
    if (!address.starts_with(u"about:"))
        CompleteLocalTrust();
    view->LoadURL(ToWx(address));
}

void WebKitBrowser::SetTextInputValue(const std::u16string& name, const std::u16string& value)
{
    if (view_ && hooks_)
        hooks_->RunScript(SetTextInputScript(name, value));
}

void WebKitBrowser::OnNavigating(wxWebViewEvent& event)
{
    if (!initialBlank_.Holds(event.GetURL(), false) && sink_ != nullptr)
        sink_->OnBeforeNavigate(FromWx(event.GetURL()));
}

void WebKitBrowser::OnNavigated(wxWebViewEvent& event)
{
    if (!initialBlank_.Holds(event.GetURL(), false) && sink_ != nullptr)
        sink_->OnNavigateComplete(FromWx(event.GetURL()));
}

void WebKitBrowser::OnLoaded(wxWebViewEvent& event)
{
    if (initialBlank_.Holds(event.GetURL(), true))
        return;
    if (sink_ != nullptr)
        sink_->OnDocumentComplete(FromWx(event.GetURL()));
}

// A link or form aimed at a new window: wx has already stopped WebKit from making it.
void WebKitBrowser::OnNewWindowEvent(wxWebViewEvent& event) { NewWindowRequested(event.GetURL()); }

void WebKitBrowser::OnNativeNewWindow(const std::string& uri) { NewWindowRequested(wxString::FromUTF8(uri)); }

void WebKitBrowser::NewWindowRequested(const wxString& url)
{
    const bool cancel = sink_ == nullptr || sink_->OnNewWindow();
    if (cancel || !view_)
        return;
    // Not inside WebKit's signal; the view's pending calls die with it.
    view_->CallAfter([this, url] { OpenWindow(url); });
}

void WebKitBrowser::OpenWindow(const wxString& url)
{
    std::erase_if(popups_, [](const wxWeakRef<wxFrame>& popup) { return !popup; });
    auto* popup = new PopupWindow(wxGetTopLevelParent(view_.get()), url);
    popups_.emplace_back(popup);
    popup->Show();
}

void WebKitBrowser::OnNativeScriptMessage(const std::string& handler, const std::string& message)
{
    if (handler == kWindowMessageHandler && message == kCloseMessage)
        WindowClosing();
}

void WebKitBrowser::WindowClosing()
{
    const bool keepOpen = sink_ == nullptr || sink_->OnWindowClosing();
    if (keepOpen || !view_)
        return;
    // Not inside WebKit's signal: closing may destroy this very view.
    view_->CallAfter([this] {
        if (wxWindow* window = wxGetTopLevelParent(view_.get()))
            window->Close();
    });
}
