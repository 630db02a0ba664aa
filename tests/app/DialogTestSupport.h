#pragma once
// A main window without a toolkit for the dialog's handlers: it records what they ask
// (message boxes, questions, captions, list lines, closing) and answers questions from
// a script; and a browser that records where it was sent.

#include "app/DialogLayout.h"
#include "app/DialogWindow.h"
#include "app/Zendrik2Dlg.h"
#include "login/EmbeddedBrowser.h"
#include "login/LoginMessages.h"
#include "login/MyDHtmlDlg.h"
#include "tests/login/LoginBrowserFakes.h"

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace dialogtest {

struct ShownMessage {
    std::u16string text;
    std::u16string caption;
    MessageIcon icon;
};

class VectorLogList : public LogListBox {
public:
    int LineCount() const override { return static_cast<int>(lines.size()); }
    std::u16string Line(int index) const override { return lines.at(static_cast<std::size_t>(index)); }
    void DeleteLine(int index) override { lines.erase(lines.begin() + index); }
    void AddLine(const std::u16string& line) override { lines.push_back(line); }
    void ClearSelection() override { ++selectionClears; }

    std::vector<std::u16string> lines;
    int selectionClears = 0;
};

// The edits as the user left them; ExchangeData moves them to and from the job.
struct FormEdits {
    std::u16string albumName, filePath, description, comments, linkUrl;
};

class FakeDialogWindow : public DialogWindow {
public:
    explicit FakeDialogWindow(CZendrik2Dlg& dialog) : dialog_(dialog) {}

    void SetWindowTitle(const std::u16string& title) override
    {
        std::lock_guard<std::mutex> hold(lock_);
        title_ = title;
        titles_.push_back(title);
    }
    std::u16string WindowTitle() const override
    {
        std::lock_guard<std::mutex> hold(lock_);
        return title_;
    }
    std::vector<std::u16string> Titles() const
    {
        std::lock_guard<std::mutex> hold(lock_);
        return titles_;
    }
    bool AskYesNo(const std::u16string& text, const std::u16string& caption) override
    {
        std::lock_guard<std::mutex> hold(lock_);
        questions.push_back({text, caption, MessageIcon::Information});
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void MoveOffScreen() override { ++offScreenMoves; }
    void LayOutControls() override
    {
        ++layouts;
        lastLayout = dialog_.CurrentLayoutState();
    }

    void ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon icon) override
    {
        messages.push_back({text, caption, icon});
    }
    std::u16string UploadButtonCaption() const override { return caption; }
    void SetUploadButtonCaption(const std::u16string& text) override { caption = text; }
    void EnableUploadButton(bool enable) override { buttonEnabled = enable; }
    LogListBox& LogList() override { return list; }
    void ExchangeData(bool saveToFields) override
    {
        UploadJob& job = dialog_.Job();
        if (saveToFields) {
            job.albumName = edits.albumName;
            job.filePath = edits.filePath;
            job.description = edits.description;
            job.comments = edits.comments;
            job.linkUrl = edits.linkUrl;
        } else {
            edits = {job.albumName, job.filePath, job.description, job.comments, job.linkUrl};
        }
    }
    bool ChooseFileToUpload(std::u16string& path) override
    {
        if (chosenFile.empty())
            return false;
        path = chosenFile;
        return true;
    }
    void ShowAboutBox() override { ++aboutBoxes; }
    void EndModalDialog() override { ++endDialogs; }
    Rect ClientRect() const override { return client; }
    void BecomeUnattendedSurface() override { ++surfaceSetUps; }
    NativeWindowHandle NativeWindow() const override { return 0x2a00007; }

    // Copies of what the worker's questions recorded.
    std::vector<ShownMessage> Questions() const
    {
        std::lock_guard<std::mutex> hold(lock_);
        return questions;
    }
    void Answer(bool yes)
    {
        std::lock_guard<std::mutex> hold(lock_);
        answers.push_back(yes);
    }

    FormEdits edits;
    std::vector<ShownMessage> messages;
    std::u16string caption = u"Upload to Facebook";
    bool buttonEnabled = true;
    VectorLogList list;
    std::u16string chosenFile;
    Rect client{0, 0, 1920, 1080};
    int offScreenMoves = 0;
    int layouts = 0;
    LayoutState lastLayout;
    int aboutBoxes = 0;
    int endDialogs = 0;
    int surfaceSetUps = 0;

private:
    CZendrik2Dlg& dialog_;
    mutable std::mutex lock_;
    std::u16string title_;
    std::vector<std::u16string> titles_;
    std::vector<ShownMessage> questions;
    std::deque<bool> answers;
};

class QueuedLoginMessages : public LoginMessages {
public:
    void PostLoginFinished() override { ++finished; }
    void PostLoginAttemptFailed() override { ++attemptsFailed; }
    void PostLoginNotice(std::unique_ptr<std::u16string> notice) override
    {
        if (notice)
            notices.push_back(*notice);
    }

    int finished = 0;
    int attemptsFailed = 0;
    std::vector<std::u16string> notices;
};

}  // namespace dialogtest
