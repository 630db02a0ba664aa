#pragma once
// The About box (template 100): the icon, "Zendrik2, Version 2.4.4" and OK.

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
};
