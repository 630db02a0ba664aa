#pragma once
// What the dialog's logic asks of the window that shows it. The windowed program
// implements it with the toolkit; the headless runner with its standard streams. The
// worker thread calls SetWindowTitle and AskYesNo: both are carried out on the user
// interface thread, and return when they are done there.

#include <string>

class DialogView {
public:
    virtual ~DialogView() = default;

    virtual void SetWindowTitle(const std::u16string& title) = 0;
    virtual std::u16string WindowTitle() const = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool AskYesNo(const std::u16string& text, const std::u16string& caption) = 0;
    // Unattended mode: the login box is no longer needed; the window leaves the
    // screen (bottom of the stacking order, x 0, y 5000, same size).
    virtual void MoveOffScreen() = 0;
    virtual void LayOutControls() = 0;
};
