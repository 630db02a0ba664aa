#pragma once
// The body write loop of the tool layer, apart from the library call it makes so that
// its handling of short and empty writes can be exercised on its own.

#include "httpclient/HttpErrors.h"
#include "platform/win32/LastError.h"
#include "platform/win32/Win32Types.h"

namespace Tavik {

// Calls write(hRequest, bytes, count, &written) on the unwritten rest until all cbyBuff
// bytes are taken. A failed call is error 408 with the last error. A call that reports
// success but took nothing would repeat forever, and one that claims more than it was
// given has lost count: both are error 408 too, with no Win32 error.
template <typename Write>
void WriteWholeBuffer(Write&& write, void* hRequest, const BYTE* pbyBuff, DWORD cbyBuff)
{
    DWORD cbWritten = 0;
    while (cbWritten < cbyBuff) {
        const DWORD cbRest = cbyBuff - cbWritten;
        DWORD cbStep = 0;
        if (!write(hRequest, pbyBuff + cbWritten, cbRest, &cbStep))
            ThrowHttpApiError(HttpError::InternetWriteFileFailed, GetLastError());
        if (cbStep == 0 || cbStep > cbRest)
            ThrowHttpApiError(HttpError::InternetWriteFileFailed, ERROR_SUCCESS);
        cbWritten += cbStep;
    }
}

}  // namespace Tavik
