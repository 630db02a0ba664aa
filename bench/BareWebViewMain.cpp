// The baseline of startup_bench: the least a wx window with a WebKitGTK view must do to
// show one page. Loads the local file given as its argument, prints "loaded" to
// standard error when the page has loaded, and ends.

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/webview.h>

#include <cstdio>

namespace {

class BareWebViewApp : public wxApp {
public:
    bool OnInit() override
    {
        if (argc < 2)
            return false;
        auto* frame = new wxFrame(nullptr, wxID_ANY, "bare", wxPoint(100, 100), wxSize(800, 600));
        wxWebView* view = wxWebView::New(frame, wxID_ANY, "file://" + argv[1], wxDefaultPosition, wxDefaultSize,
                                         wxWebViewBackendWebKit);
        view->Bind(wxEVT_WEBVIEW_LOADED, [frame](wxWebViewEvent&) {
            std::fputs("loaded\n", stderr);
            std::fflush(stderr);
            frame->CallAfter([frame] { frame->Close(true); });
        });
        frame->Show();
        return true;
    }
};

}  // namespace

wxIMPLEMENT_APP(BareWebViewApp);
