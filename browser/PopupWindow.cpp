#include "browser/PopupWindow.h"

#include "browser/LoginBrowser.h"

#include <wx/sizer.h>

PopupWindow::PopupWindow(wxWindow* owner, const wxString& url)
    : wxFrame(owner, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(800, 600))
{
    browser_ = std::make_unique<LoginBrowser>(this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(browser_->View(), 1, wxEXPAND);
    SetSizer(sizer);
    browser_->SetEventSink(this);
    browser_->View()->LoadURL(url);
}

PopupWindow::~PopupWindow()
{
    // Before the frame's children go: the browser destroys its own view.
    browser_.reset();
}

void PopupWindow::OnDocumentComplete(const std::u16string&)
{
    if (wxWebView* view = browser_->View())
        SetTitle(view->GetCurrentTitle());
}
