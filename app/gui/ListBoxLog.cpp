#include "app/gui/ListBoxLog.h"

#include "browser/WxText.h"

int ListBoxLog::LineCount() const { return static_cast<int>(list_.GetCount()); }

std::u16string ListBoxLog::Line(int index) const { return FromWx(list_.GetString(static_cast<unsigned>(index))); }

void ListBoxLog::DeleteLine(int index) { list_.Delete(static_cast<unsigned>(index)); }

void ListBoxLog::AddLine(const std::u16string& line) { list_.Append(ToWx(line)); }

void ListBoxLog::ClearSelection() { list_.SetSelection(wxNOT_FOUND); }
