#pragma once
// One send of a request, driven through libcurl's multi interface on the caller's thread.
//
// A pushed body is gathered into a staging buffer and handed to libcurl whenever the buffer
// is full (and at the end), so that libcurl sends large pieces instead of one system call
// and TLS record per caller write; the read callback pauses the upload whenever nothing is
// staged. The response body is buffered from the write callback up to a limit, beyond which
// receiving pauses until the caller reads. Time counts against the stall limit only while
// this layer itself is waiting, never while the caller is busy between calls.

#include "platform/wininet/CurlEasy.h"
#include "platform/wininet/RequestPlan.h"
#include "platform/wininet/ResponseHead.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wininet {

class Transfer {
public:
    static constexpr std::size_t kStagingBytes = 64 * 1024;
    static constexpr std::size_t kReceiveLimit = 256 * 1024;

    // Null with `error` when libcurl cannot be set up.
    static std::unique_ptr<Transfer> Create(RequestPlan plan, DWORD& error);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Connects and sends the request head. With a pushed body it returns once the body can
    // be written; otherwise once the response head has arrived. Each call returns 0 or the
    // internet library's error number; after a failure every call returns that failure.
    DWORD Start();
    // Takes all the bytes, or none when they would exceed the announced total.
    DWORD Write(const BYTE* bytes, DWORD count);
    // Sends what is staged and waits for the response head; fails when fewer bytes were
    // written than announced.
    DWORD End();
    // Up to `count` bytes of the response body; 0 bytes at the end, as often as asked.
    DWORD Read(BYTE* buffer, DWORD count, DWORD& got);

    int Status() const { return head_.Status(); }
    const std::string& Reason() const { return head_.Reason(); }

    // From any thread: the call in progress, and every later one, gives up.
    void Cancel();

private:
    using Clock = std::chrono::steady_clock;
    enum class Wait { Send, Receive };

    struct MultiFree {
        void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
    };

    explicit Transfer(RequestPlan plan);
    CURLcode InstallCallbacks();

    static std::size_t OnRead(char* buffer, std::size_t size, std::size_t count, void* self);
    static std::size_t OnWrite(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static int OnPrerequest(void* self, char*, char*, int, int);
    static int OnProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded);

    template <class Satisfied>
    DWORD Pump(Satisfied satisfied, Wait wait);
    void CollectFinished();
    DWORD Fail(DWORD error);
    void Detach();
    DWORD Flush();
    DWORD AwaitHead();
    void ApplyPause();
    std::size_t Staged() const { return stagedEnd_ - stagedBegin_; }
    std::size_t Buffered() const { return received_.size() - receivedBegin_; }

    RequestPlan plan_;
    CurlHeaderList headers_;
    std::unique_ptr<CURLM, MultiFree> multi_;
    CurlEasyPtr easy_;
    bool attached_ = false;
    ResponseHead head_;

    std::vector<char> staging_;
    std::size_t stagedBegin_ = 0;
    std::size_t stagedEnd_ = 0;
    std::uint64_t accepted_ = 0;  // written by the caller
    bool bodyWanted_ = false;     // libcurl asked for body bytes: the head is out
    bool discardBody_ = false;    // the server answered before the body was complete
    bool sendPaused_ = false;

    std::string received_;
    std::size_t receivedBegin_ = 0;
    bool receivePaused_ = false;

    bool connected_ = false;
    bool finished_ = false;
    DWORD failure_ = ERROR_SUCCESS;
    std::atomic<bool> cancelled_{false};
    Clock::time_point lastMove_{};
    curl_off_t seenUploaded_ = 0;
    curl_off_t seenDownloaded_ = 0;
};

}  // namespace wininet
