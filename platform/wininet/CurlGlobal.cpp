#include "platform/wininet/CurlGlobal.h"

#include <curl/curl.h>

namespace wininet {

bool EnsureCurlGlobal()
{
    // A function-local static is initialised exactly once even with several threads racing here;
    // curl_global_init itself is not safe to run twice at the same time.
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

}  // namespace wininet
