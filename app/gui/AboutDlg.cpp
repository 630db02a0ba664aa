#include "app/gui/AboutDlg.h"

#include "app/BuildVersion.h"
#include "app/gui/AppArtwork.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

namespace {

wxString AboutText()
{
    wxString text = wxString::Format("Zendrik2, Version %u.%u.%u", unsigned{FileVersionMajor},
                                     unsigned{FileVersionMinor}, unsigned{FileVersionBuild});
    if (FileVersionRevision != 0)
        text << "." << unsigned{FileVersionRevision};
    return text;
}

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent) : wxDialog(parent, wxID_ANY, "About Zendrik2")
{
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticBitmap(this, wxID_ANY, ApplicationIcons().GetIcon(32)), 0, wxALL, 10);
    row->Add(new wxStaticText(this, wxID_ANY, AboutText()), 1, wxALIGN_CENTER_VERTICAL | wxALL, 10);
    auto* ok = new wxButton(this, wxID_OK, "OK");
    ok->SetDefault();
    row->Add(ok, 0, wxALIGN_CENTER_VERTICAL | wxALL, 10);
    SetSizerAndFit(row);
    CentreOnParent();
}
