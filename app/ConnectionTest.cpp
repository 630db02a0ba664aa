#include "app/ConnectionTest.h"

#include "login/WebEndpoints.h"
#include "platform/wininet/WinInet.h"

bool InternetConnectionAvailable()
{
    const std::u16string root = ConnectionTestAddress();
    return ::InternetCheckConnectionW(root.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) != FALSE;
}
