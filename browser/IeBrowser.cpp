#include "browser/IeBrowser.h"

#include "browser/PageScripts.h"
#include "browser/PopupWindow.h"
#include "browser/WxText.h"

#include <wx/log.h>
#include <wx/msw/ole/activex.h>
#include <wx/msw/webview_ie.h>
#include <wx/toplevel.h>

#include <exdisp.h>
#include <exdispid.h>

namespace {

// The control renders as the oldest engine unless the program is listed for a newer one
// (under the user's own key, so no administrator is needed). Where the list's key is
// missing, as under Wine, the toolkit would say so in a message box: nobody at a booth
// can answer it, and the old engine still shows the login form.
void UseNewestEngine()
{
    static const bool done = [] {
        wxLogNull quiet;
        wxWebViewIE::MSWSetEmulationLevel(wxWEBVIEWIE_EMU_IE11);
        return true;
    }();
    (void)done;
}

}  // namespace

IeBrowser::IeBrowser(wxWindow* parent, const wxPoint& position, const wxSize& size)
{
    UseNewestEngine();
    wxWebView* view = CreateControl(parent, position, size);
    if (view == nullptr)
        return;
    view_ = view;
    view->Bind(wxEVT_WEBVIEW_NAVIGATING, &IeBrowser::OnNavigating, this);
    view->Bind(wxEVT_WEBVIEW_NAVIGATED, &IeBrowser::OnNavigated, this);
    view->Bind(wxEVT_WEBVIEW_LOADED, &IeBrowser::OnLoaded, this);
    view->Bind(wxEVT_WEBVIEW_ERROR, &IeBrowser::OnError, this);
    view->Bind(wxEVT_WEBVIEW_NEWWINDOW, &IeBrowser::OnNewWindowEvent, this);
    // The toolkit leaves the control's WindowClosing alone: it arrives here as the raw event.
    view->Bind(wxEVT_ACTIVEX, &IeBrowser::OnControlEvent, this);
    // No dialogs of the control's own (script errors, certificate prompts): nobody at a
    // booth answers them, and a refused page is reported as failed anyway.
    static_cast<IWebBrowser2*>(view->GetNativeBackend())->put_Silent(VARIANT_TRUE);
}

// Without a control there is no browser (View() is null, navigation does nothing) and
// the login waits for the watchdog; the program goes on.
wxWebView* IeBrowser::CreateControl(wxWindow* parent, const wxPoint& position, const wxSize& size)
{
    wxWebView* view = wxWebView::New(wxWebViewBackendIE);
    if (view == nullptr)
        return nullptr;
    if (view->Create(parent, wxID_ANY, wxWebViewDefaultURLStr, position, size))
        return view;
    // A view whose making failed half way cannot be destroyed: its destructor frees what
    // it never made. It is taken from its parent, which would destroy it, and left.
    parent->RemoveChild(view);
    if (view->GetHWND() != nullptr)
        view->Hide();
    wxLogError("The WebBrowser control could not be made: no login is possible.");
    return nullptr;
}

IeBrowser::~IeBrowser()
{
    sink_ = nullptr;
    for (const wxWeakRef<wxFrame>& popup : popups_) {
        if (popup)
            popup->Destroy();
    }
    if (wxWebView* view = view_.get()) {
        view->Unbind(wxEVT_WEBVIEW_NAVIGATING, &IeBrowser::OnNavigating, this);
        view->Unbind(wxEVT_WEBVIEW_NAVIGATED, &IeBrowser::OnNavigated, this);
        view->Unbind(wxEVT_WEBVIEW_LOADED, &IeBrowser::OnLoaded, this);
        view->Unbind(wxEVT_WEBVIEW_ERROR, &IeBrowser::OnError, this);
        view->Unbind(wxEVT_WEBVIEW_NEWWINDOW, &IeBrowser::OnNewWindowEvent, this);
        view->Unbind(wxEVT_ACTIVEX, &IeBrowser::OnControlEvent, this);
        view->Destroy();
    }
}

void IeBrowser::Navigate(const std::u16string& address)
{
    if (wxWebView* view = view_.get())
        view->LoadURL(ToWx(address));
}

void IeBrowser::SetTextInputValue(const std::u16string& name, const std::u16string& value)
{
    if (wxWebView* view = view_.get())
        view->RunScript(wxString::FromUTF8(SetTextInputScript(name, value)));
}

void IeBrowser::OnNavigating(wxWebViewEvent& event)
{
    errorReported_ = false;
    if (!initialBlank_.Holds(event.GetURL(), false) && sink_ != nullptr)
        sink_->OnBeforeNavigate(FromWx(event.GetURL()));
}

void IeBrowser::OnNavigated(wxWebViewEvent& event)
{
    if (!initialBlank_.Holds(event.GetURL(), false) && sink_ != nullptr)
        sink_->OnNavigateComplete(FromWx(event.GetURL()));
}

void IeBrowser::OnLoaded(wxWebViewEvent& event)
{
    if (initialBlank_.Holds(event.GetURL(), true) || errorReported_)
        return;
    if (sink_ != nullptr)
        sink_->OnDocumentComplete(FromWx(event.GetURL()));
}

// The control may never complete a document after this (it has no page to show, or no
// engine to show it with): the failed page ends here.
void IeBrowser::OnError(wxWebViewEvent& event)
{
    if (initialBlank_.Holds(event.GetURL(), true))
        return;
    errorReported_ = true;
    if (sink_ != nullptr)
        sink_->OnDocumentComplete(FromWx(event.GetURL()));
}

// wx has already stopped the control from opening a browser window of its own.
void IeBrowser::OnNewWindowEvent(wxWebViewEvent& event)
{
    const bool cancel = sink_ == nullptr || sink_->OnNewWindow();
    if (cancel || !view_)
        return;
    const wxString url = event.GetURL();
    view_->CallAfter([this, url] { OpenWindow(url); });
}

void IeBrowser::OpenWindow(const wxString& url)
{
    std::erase_if(popups_, [](const wxWeakRef<wxFrame>& popup) { return !popup; });
    auto* popup = new PopupWindow(wxGetTopLevelParent(view_.get()), url);
    popups_.emplace_back(popup);
    popup->Show();
}

// WindowClosing(IsChildWindow, Cancel): the arguments arrive last first. Cancelled
// always: the control would otherwise ask the guest itself. Granted, the top-level
// window the browser is in closes, after the control's event has returned.
void IeBrowser::OnControlEvent(wxActiveXEvent& event)
{
    event.Skip();
    if (event.GetDispatchId() != DISPID_WINDOWCLOSING)
        return;
    DISPPARAMS* parameters = event.GetNativeParameters()->pDispParams;
    if (parameters == nullptr || parameters->cArgs < 2)
        return;
    *V_BOOLREF(&parameters->rgvarg[0]) = VARIANT_TRUE;
    const bool keepOpen = sink_ == nullptr || sink_->OnWindowClosing();
    if (keepOpen || !view_)
        return;
    view_->CallAfter([this] {
        if (wxWindow* window = wxGetTopLevelParent(view_.get()))
            window->Close();
    });
}
