#pragma once
// The three handles a request owns: its session, its connection and the request itself.

#include "platform/wininet/WinInet.h"

namespace Tavik {

// Closes each handle that is open and clears its variable. The request goes first and
// the session last, each before the handle it was opened from.
template <typename HttpTool>
void CloseRequestHandles(HINTERNET& hInternet, HINTERNET& hConnection, HINTERNET& hRequest)
{
    HttpTool::CloseInternetHandle(hRequest);
    HttpTool::CloseInternetHandle(hConnection);
    HttpTool::CloseInternetHandle(hInternet);
}

}  // namespace Tavik
