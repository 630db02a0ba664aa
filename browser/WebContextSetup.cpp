#include "browser/WebContextSetup.h"

#include "login/CookieFolder.h"
#include "login/WebEndpoints.h"
#include "platform/win32/Utf.h"
#include "platform/wininet/ExtraCaFile.h"

namespace {

std::optional<std::filesystem::path> CookieFile()
{
    const std::optional<std::filesystem::path> folder = PrivateCookieFolder();
    if (!folder)
        return std::nullopt;
    return *folder / kCookieFileName;
}

}  // namespace

WebContextSetup CurrentWebContextSetup()
{
    WebContextSetup setup;
    setup.cookieFile = CookieFile();
    setup.caFile = wininet::ExtraCaFile();
    setup.trustedHosts = {Utf16ToUtf8(FacebookWebHost()), Utf16ToUtf8(RedirectHost())};
    return setup;
}
