#pragma once
// What the main dialog's user interface handlers ask of the window, beyond what the
// worker needs (DialogView). Everything here is called on the user interface thread.

#include "app/DialogGeometry.h"
#include "app/DialogView.h"
#include "app/LogListBox.h"
#include "app/NativeWindowHandle.h"

#include <string>

enum class MessageIcon { Error, Information };

class DialogWindow : public DialogView {
public:
    // A modal message box with one OK button, owned by the main window.
    virtual void ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon icon) = 0;

    // Button 1: "Upload to Facebook", "Cancel upload", "Closing...", "Close".
    virtual std::u16string UploadButtonCaption() const = 0;
    virtual void SetUploadButtonCaption(const std::u16string& caption) = 0;
    virtual void EnableUploadButton(bool enable) = 0;

    virtual LogListBox& LogList() = 0;

    // The five edits and the job's fields: into the fields when saveToFields, else
    // from the fields into the edits.
    virtual void ExchangeData(bool saveToFields) = 0;

    // The file-open dialog; true with the chosen path when the user confirms.
    virtual bool ChooseFileToUpload(std::u16string& path) = 0;
    virtual void ShowAboutBox() = 0;

    // Ends the modal dialog with the OK result; the end of the dialog (OnDestroy)
    // follows once its loop is left.
    virtual void EndModalDialog() = 0;

    virtual Rect ClientRect() const = 0;
    // Unattended mode: borderless, maximised on the monitor that holds the browser box
    // of the command line, every pixel outside the browser transparent to sight and to
    // clicks, the blank pointer over it.
    virtual void BecomeUnattendedSurface() = 0;
    // The native window handed to the edge-gesture library (the X11 window id or the HWND, or 0).
    virtual NativeWindowHandle NativeWindow() const = 0;
};
