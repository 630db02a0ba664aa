#include "app/gui/Zendrik2App.h"

#include "app/BackgroundCheck.h"
#include "app/Settings.h"
#include "app/Zendrik2Dlg.h"
#include "app/gui/DisplayCheck.h"
#include "app/gui/MainDialogView.h"
#include "app/gui/ToolkitLog.h"
#include "login/BrowserWebData.h"
#include "login/MyDHtmlDlg.h"

bool CZendrik2App::OnInit()
{
    checkedDisplay_.Release();
    return true;
}

int CZendrik2App::OnRun()
{
    // Replaces the toolkit's own handler, installed when it opened the display.
    ExitOnLostDisplay();
    const bool deleteCookies = ShouldDeleteFacebookCookies();
    if (deleteCookies)
        DeleteGuestWebData();
    RunMainDialog();
    if (deleteCookies)
        DeleteGuestWebData();
    // A connection test that a close left waiting on a stalled server must not hold up
    // the end.
    EndAtOnceIfChecksRun(0);
    return 0;
}

void CZendrik2App::RunMainDialog()
{
    // The dialog logic outlives its window: its destructor waits for a finishing worker.
    CMyDHtmlDlg loginBrowser;
    CZendrik2Dlg dialog(arguments_, loginBrowser);
    dialog.StartConnectionTestEarly();
    if (dialog.IsInteractive())
        LogToolkitMessagesInMessageBoxes();
    {
        MainDialogView view(dialog, loginBrowser);
        SetTopWindow(&view);
        view.Run();
        SetTopWindow(nullptr);
    }
    LogToolkitMessagesToStderr();
}
