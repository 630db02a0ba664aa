#pragma once
// The main window (dialog template 102) on wx: the controls, their data exchange with
// the job, the 500 ms timer, the login browser in place of control 1000, message boxes
// and title changes for the worker (run on this thread while the worker waits), and the
// unattended surface. What happens is decided by CZendrik2Dlg; this only shows it.

#include "app/DialogWindow.h"
#include "app/Zendrik2Dlg.h"
#include "app/gui/ListBoxLog.h"
#include "app/gui/TickStats.h"
#include "app/gui/UiThreadBridge.h"
#include "browser/LoginBrowser.h"
#include "login/LoginMessages.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <map>
#include <memory>

class CMyDHtmlDlg;

class MainDialogView : public wxDialog, public DialogWindow, public LoginMessages {
public:
    MainDialogView(CZendrik2Dlg& dialog, CMyDHtmlDlg& loginBrowser);
    ~MainDialogView() override;

    // Initialisation, the modal loop, then the end of the dialog.
    void Run();

    // DialogView
    void SetWindowTitle(const std::u16string& title) override;
    std::u16string WindowTitle() const override;
    bool AskYesNo(const std::u16string& text, const std::u16string& caption) override;
    void MoveOffScreen() override;
    void LayOutControls() override;

    // DialogWindow
    void ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon icon) override;
    std::u16string UploadButtonCaption() const override;
    void SetUploadButtonCaption(const std::u16string& caption) override;
    void EnableUploadButton(bool enable) override;
    LogListBox& LogList() override { return *log_; }
    void ExchangeData(bool saveToFields) override;
    bool ChooseFileToUpload(std::u16string& path) override;
    void ShowAboutBox() override;
    void EndModalDialog() override;
    Rect ClientRect() const override;
    void BecomeUnattendedSurface() override;
    NativeWindowHandle NativeWindow() const override;

    // LoginMessages: each handled later, on this thread.
    void PostLoginFinished() override;
    void PostLoginAttemptFailed() override;
    void PostLoginNotice(std::unique_ptr<std::u16string> notice) override;

private:
    void CreateControls();
    wxTextCtrl* AddEdit(int id, long style = 0);
    void AddLabel(int id, const char* caption);
    wxButton* AddButton(int id, const char* caption);
    void BindEvents();
    void OnTimerEvent(wxTimerEvent& event);
    void OnConnectionPollEvent(wxTimerEvent& event);
    void OnCloseEvent(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnSizeEvent(wxSizeEvent& event);
    void ApplyShape(const Rect& box);
    // Every modal loop of ours goes through here, so that a close asked for meanwhile
    // ends the dialog only once that loop is left.
    template <typename Call>
    auto NestedModal(Call call) -> decltype(call());
    void EndIfPending();

    CZendrik2Dlg& dialog_;
    CMyDHtmlDlg& loginBrowser_;
    DialogBaseUnits baseUnits_;
    std::unique_ptr<LoginBrowser> browser_;
    std::map<int, wxWindow*> controls_;
    wxTextCtrl* album_ = nullptr;
    wxTextCtrl* description_ = nullptr;
    wxTextCtrl* file_ = nullptr;
    wxTextCtrl* url_ = nullptr;
    wxTextCtrl* comments_ = nullptr;
    wxListBox* list_ = nullptr;
    wxButton* upload_ = nullptr;
    std::unique_ptr<ListBoxLog> log_;
    wxTimer timer_;
    // While the unattended start's connection test runs: its answer taken at once, not at
    // the next tick.
    wxTimer connectionPoll_;
    TickStats tickStats_;
    UiThreadBridge bridge_;
    int nestedModals_ = 0;
    bool endPending_ = false;
    bool unattendedSurface_ = false;
    Rect shapedBox_;
};
