#pragma once
// The log list (control 1001) as the dialog's timer fills it.

#include "app/LogListBox.h"

#include <wx/listbox.h>

class ListBoxLog : public LogListBox {
public:
    explicit ListBoxLog(wxListBox& list) : list_(list) {}

    int LineCount() const override;
    std::u16string Line(int index) const override;
    void DeleteLine(int index) override;
    void AddLine(const std::u16string& line) override;
    void ClearSelection() override;

private:
    wxListBox& list_;
};
