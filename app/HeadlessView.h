#pragma once
// The dialog's view for the headless runner: each new window title goes to standard
// error as the unattended window would show it, once per change. There is no window
// to move or lay out, and nobody to ask: the runner is always unattended.

#include "app/DialogView.h"

#include <mutex>

class HeadlessView : public DialogView {
public:
    void SetWindowTitle(const std::u16string& title) override;
    std::u16string WindowTitle() const override;
    bool AskYesNo(const std::u16string&, const std::u16string&) override { return false; }
    void MoveOffScreen() override {}
    void LayOutControls() override {}

private:
    mutable std::mutex m_titleLock;
    std::u16string m_title;
};
