#pragma once
// The log list of the main window as the timer fills it, and the rule by which it
// does: a run of "Progress:" lines shows only its newest line.

#include <deque>
#include <string>

class LogListBox {
public:
    virtual ~LogListBox() = default;

    virtual int LineCount() const = 0;
    virtual std::u16string Line(int index) const = 0;
    virtual void DeleteLine(int index) = 0;
    virtual void AddLine(const std::u16string& line) = 0;
    virtual void ClearSelection() = 0;
};

bool IsProgressLine(const std::u16string& line);

// Adds the line at the end, replacing a "Progress:" line directly before it when the
// line is one too, and clears the selection. The list is not scrolled.
void ShowLogLine(LogListBox& list, const std::u16string& line);

// The lines in order, as ShowLogLine one by one would leave the list, but touching it
// once per line that stays: of each run of "Progress:" lines only the newest is shown.
void ShowLogLines(LogListBox& list, const std::deque<std::u16string>& lines);
