#pragma once
// Lets another thread end the request a client has in flight. The client reports each
// request handle it opens; Abort closes the latest one, which makes the call blocked on
// it (send, body write or read) fail at once with ERROR_INTERNET_OPERATION_CANCELLED,
// and closes every handle reported afterwards the moment it is opened. A handle closed
// here is closed again by its owner later; handles are never reused, so that second
// close only fails.

#include "platform/wininet/WinInet.h"

#include <mutex>

namespace Tavik {

class CHttpRequestAbort {
public:
    CHttpRequestAbort() = default;
    CHttpRequestAbort(const CHttpRequestAbort&) = delete;
    CHttpRequestAbort& operator=(const CHttpRequestAbort&) = delete;

    // From the thread that opened hRequest.
    void Watch(HINTERNET hRequest);
    // From any thread.
    void Abort();
    // Between jobs: nothing aborted, nothing watched.
    void Reset();

private:
    std::mutex m_lock;
    HINTERNET m_hRequest = nullptr;
    bool m_bAborted = false;
};

}  // namespace Tavik
