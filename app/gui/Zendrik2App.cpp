#include "app/gui/Zendrik2App.h"

#include "app/Settings.h"
#include "app/Zendrik2Dlg.h"
#include "app/gui/MainDialogView.h"
#include "login/FacebookCookieFile.h"
#include "login/MyDHtmlDlg.h"

int CZendrik2App::OnRun()
{
    const bool deleteCookies = ShouldDeleteFacebookCookies();
    if (deleteCookies)
        DeleteFacebookCookieFile();
    RunMainDialog();
    if (deleteCookies)
        DeleteFacebookCookieFile();
    return 0;
}

void CZendrik2App::RunMainDialog()
{
    // The dialog logic outlives its window: its destructor waits for a finishing worker.
    CMyDHtmlDlg loginBrowser;
    CZendrik2Dlg dialog(arguments_, loginBrowser);
    dialog.StartConnectionTestEarly();
    {
        MainDialogView view(dialog, loginBrowser);
        SetTopWindow(&view);
        view.Run();
        SetTopWindow(nullptr);
    }
}
