#include "app/LogListBox.h"

bool IsProgressLine(const std::u16string& line) { return line.starts_with(u"Progress:"); }

void ShowLogLine(LogListBox& list, const std::u16string& line)
{
    const int count = list.LineCount();
    if (IsProgressLine(line) && count > 0 && IsProgressLine(list.Line(count - 1)))
        list.DeleteLine(count - 1);
    list.AddLine(line);
    list.ClearSelection();
}

void ShowLogLines(LogListBox& list, const std::deque<std::u16string>& lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool supersededProgress =
            i + 1 < lines.size() && IsProgressLine(lines[i]) && IsProgressLine(lines[i + 1]);
        if (!supersededProgress)
            ShowLogLine(list, lines[i]);
    }
}
