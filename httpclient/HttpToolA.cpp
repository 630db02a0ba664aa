#include "httpclient/HttpToolA.h"

#include "httpclient/CheckedArithmetic.h"
#include "httpclient/HttpErrors.h"
#include "httpclient/MallocPtr.h"

#include <cstring>

namespace Tavik {

HINTERNET CHttpToolA::OpenRequest(HINTERNET hConnection, LPCSTR verb, LPCSTR szObjectName, DWORD flags, LPCSTR referrer)
{
    if (hConnection == nullptr)
        ThrowHttpMessageA("CHttpToolA::OpenRequest: hConnection can not be NULL.");
    if (szObjectName == nullptr)
        ThrowHttpMessageA("CHttpToolA::OpenRequest: szObjectName can not be NULL.");
    if (szObjectName[0] == '\0')
        ThrowHttpMessageA("CHttpToolA::OpenRequest: szObjectName can not be an empty string.");

    LPCSTR acceptTypes[] = {"*/*", nullptr};
    HINTERNET hRequest = HttpOpenRequestA(hConnection, verb, szObjectName, "HTTP/1.1", referrer, acceptTypes, flags, 0);
    if (hRequest == nullptr)
        ThrowHttpApiErrorA(HttpError::HttpOpenRequestFailed, GetLastError());
    return hRequest;
}

void CHttpToolA::AddHeader(HINTERNET hRequest, LPCSTR szName, LPCSTR szValue)
{
    if (hRequest == nullptr)
        ThrowHttpMessageA("CHttpToolA::AddHeader: hRequest can not be NULL.");
    if (szName == nullptr)
        ThrowHttpMessageA("CHttpToolA::AddHeader: szName can not be NULL.");

    const std::size_t cchName = std::strlen(szName);
    const std::size_t cchValue = szValue != nullptr ? std::strlen(szValue) : 0;
    // name ": " value CR LF NUL
    const DWORD cbLine = CheckedAdd<ThrowForm::Narrow>(CheckedAdd<ThrowForm::Narrow>(cchName, cchValue), 5);
    MallocPtr<char> line(static_cast<char*>(std::malloc(cbLine)));
    if (!line)
        ThrowHttpErrorA(HttpError::OutOfMemory);
    char* p = line.get();
    std::memcpy(p, szName, cchName);
    p += cchName;
    *p++ = ':';
    *p++ = ' ';
    if (cchValue != 0)
        std::memcpy(p, szValue, cchValue);
    p += cchValue;
    *p++ = '\r';
    *p++ = '\n';
    *p = '\0';

    const BOOL added = HttpAddRequestHeadersA(hRequest, line.get(), cbLine - 1, HTTP_ADDREQ_FLAG_ADD);
    const DWORD dwError = GetLastError();
    line.reset();
    if (!added)
        ThrowHttpApiErrorA(HttpError::HttpAddRequestHeadersFailed, dwError);
}

}  // namespace Tavik
