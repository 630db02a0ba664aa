#include "platform/win32/LastError.h"

namespace {
thread_local DWORD threadLastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return threadLastError; }

void SetLastError(DWORD error) { threadLastError = error; }
