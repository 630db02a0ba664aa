#pragma once
// The narrow entry points behind CHttpToolW::OpenRequest and CHttpToolW::AddHeader.
// They throw httpclientexceptionA, which CHttpToolW turns into the wide exception:
// nothing else may call them.

#include "httpclient/HttpClientException.h"
#include "platform/wininet/WinInet.h"

namespace Tavik {

class CHttpToolA {
public:
    using CharType = char;
    using ExceptionType = httpclientexceptionA;

    CHttpToolA() = delete;

    // HTTP/1.1, accepting "*/*"; a null verb is GET.
    static HINTERNET OpenRequest(HINTERNET hConnection, LPCSTR verb, LPCSTR szObjectName, DWORD flags, LPCSTR referrer);
    // Adds "name: value" CR LF; a null value sends an empty one.
    static void AddHeader(HINTERNET hRequest, LPCSTR szName, LPCSTR szValue);
};

}  // namespace Tavik
