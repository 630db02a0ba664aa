#include "platform/wininet/Transfer.h"

#include "platform/wininet/CurlGlobal.h"
#include "platform/wininet/ErrorMapping.h"

#include <algorithm>
#include <cstring>

namespace wininet {

namespace {

// Longest single sleep in the multi poll; a cancel wakes it earlier.
constexpr int kMaxPollMs = 1000;

}  // namespace

std::unique_ptr<Transfer> Transfer::Create(RequestPlan plan, DWORD& error)
{
    error = ERROR_SUCCESS;
    if (!EnsureCurlGlobal()) {
        error = ERROR_INTERNET_INTERNAL_ERROR;
        return nullptr;
    }
    std::unique_ptr<Transfer> transfer(new Transfer(std::move(plan)));
    if (!transfer->easy_ || !transfer->multi_) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    CURLcode rc = ApplyPlan(transfer->easy_.get(), transfer->plan_, transfer->headers_);
    if (rc == CURLE_OK) {
        rc = transfer->InstallCallbacks();
    }
    if (rc != CURLE_OK) {
        error = InternetErrorFromCurl(CurlOutcome{rc});
        return nullptr;
    }
    if (curl_multi_add_handle(transfer->multi_.get(), transfer->easy_.get()) != CURLM_OK) {
        error = ERROR_INTERNET_INTERNAL_ERROR;
        return nullptr;
    }
    transfer->attached_ = true;
    return transfer;
}

Transfer::Transfer(RequestPlan plan)
    : plan_(std::move(plan)),
      multi_(curl_multi_init()),
      easy_(curl_easy_init()),
      head_(plan_.followRedirects)
{
    if (plan_.body == BodyKind::Pushed) {
        staging_.resize(kStagingBytes);
    }
}

Transfer::~Transfer() { Detach(); }

CURLcode Transfer::InstallCallbacks()
{
    CURL* easy = easy_.get();
    CURLcode rc = CURLE_OK;
    auto set = [&](CURLoption option, auto value) {
        if (rc == CURLE_OK) {
            rc = curl_easy_setopt(easy, option, value);
        }
    };
    set(CURLOPT_WRITEFUNCTION, &Transfer::OnWrite);
    set(CURLOPT_WRITEDATA, this);
    set(CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    set(CURLOPT_HEADERDATA, this);
    set(CURLOPT_PREREQFUNCTION, &Transfer::OnPrerequest);
    set(CURLOPT_PREREQDATA, this);
    set(CURLOPT_XFERINFOFUNCTION, &Transfer::OnProgress);
    set(CURLOPT_XFERINFODATA, this);
    set(CURLOPT_NOPROGRESS, 0L);
    if (plan_.body == BodyKind::Pushed) {
        set(CURLOPT_READFUNCTION, &Transfer::OnRead);
        set(CURLOPT_READDATA, this);
        set(CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(kStagingBytes));
    }
    return rc;
}

std::size_t Transfer::OnRead(char* buffer, std::size_t size, std::size_t count, void* self)
{
    auto& t = *static_cast<Transfer*>(self);
    t.bodyWanted_ = true;
    if (t.cancelled_) {
        return CURL_READFUNC_ABORT;
    }
    const std::size_t staged = t.Staged();
    if (staged == 0) {
        // libcurl stops asking once the announced total is out, so an empty buffer here
        // means the caller has not written the next piece yet.
        t.sendPaused_ = true;
        return CURL_READFUNC_PAUSE;
    }
    const std::size_t take = std::min(staged, size * count);
    std::memcpy(buffer, t.staging_.data() + t.stagedBegin_, take);
    t.stagedBegin_ += take;
    if (t.stagedBegin_ == t.stagedEnd_) {
        t.stagedBegin_ = t.stagedEnd_ = 0;
    }
    return take;
}

std::size_t Transfer::OnWrite(char* data, std::size_t size, std::size_t count, void* self)
{
    auto& t = *static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    if (t.Buffered() >= kReceiveLimit) {
        t.receivePaused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (t.receivedBegin_ > 0 && t.receivedBegin_ >= t.received_.size() / 2) {
        t.received_.erase(0, t.receivedBegin_);
        t.receivedBegin_ = 0;
    }
    t.head_.OnBodyBytes();
    t.received_.append(data, bytes);
    return bytes;
}

std::size_t Transfer::OnHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    auto& t = *static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    t.lastMove_ = Clock::now();
    if (t.head_.OnLine(std::string_view(data, bytes)) == ResponseHead::Event::NewHead) {
        // Whatever came before a new head (a redirect's body) is not the response's.
        t.received_.clear();
        t.receivedBegin_ = 0;
    }
    return bytes;
}

int Transfer::OnPrerequest(void* self, char*, char*, int, int)
{
    auto& t = *static_cast<Transfer*>(self);
    t.connected_ = true;
    t.lastMove_ = Clock::now();
    return CURL_PREREQFUNC_OK;
}

int Transfer::OnProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
{
    auto& t = *static_cast<Transfer*>(self);
    if (t.cancelled_) {
        return 1;
    }
    if (downloaded != t.seenDownloaded_ || uploaded != t.seenUploaded_) {
        t.seenDownloaded_ = downloaded;
        t.seenUploaded_ = uploaded;
        t.lastMove_ = Clock::now();
    }
    return 0;
}

template <class Satisfied>
DWORD Transfer::Pump(Satisfied satisfied, Wait wait)
{
    const DWORD stallMs = wait == Wait::Send ? plan_.timeouts.sendMs : plan_.timeouts.receiveMs;
    const auto stallLimit = std::chrono::milliseconds(stallMs);
    lastMove_ = Clock::now();
    for (;;) {
        if (failure_ != ERROR_SUCCESS) {
            return failure_;
        }
        if (cancelled_) {
            return Fail(ERROR_INTERNET_OPERATION_CANCELLED);
        }
        int running = 0;
        if (const CURLMcode mc = curl_multi_perform(multi_.get(), &running); mc != CURLM_OK) {
            return Fail(InternetErrorFromMulti(mc));
        }
        CollectFinished();
        if (satisfied() || finished_) {
            return failure_;
        }
        int pollMs = kMaxPollMs;
        // Before the connection stands, libcurl's connect timeout is the one that applies.
        if (connected_ && stallMs != 0) {
            const auto idle = Clock::now() - lastMove_;
            if (idle >= stallLimit) {
                return Fail(ERROR_INTERNET_TIMEOUT);
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(stallLimit - idle).count() + 1;
            pollMs = static_cast<int>(std::min<long long>(pollMs, left));
        }
        if (const CURLMcode mc = curl_multi_poll(multi_.get(), nullptr, 0, pollMs, nullptr); mc != CURLM_OK) {
            return Fail(InternetErrorFromMulti(mc));
        }
    }
}

void Transfer::CollectFinished()
{
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg != CURLMSG_DONE || message->easy_handle != easy_.get()) {
            continue;
        }
        finished_ = true;
        const CURLcode code = message->data.result;
        if (code == CURLE_OK) {
            continue;
        }
        CurlOutcome outcome = OutcomeOf(easy_.get(), code);
        curl_off_t uploaded = 0;
        curl_easy_getinfo(easy_.get(), CURLINFO_SIZE_UPLOAD_T, &uploaded);
        outcome.bodyIncomplete =
            plan_.body == BodyKind::Pushed && static_cast<std::uint64_t>(uploaded) < plan_.pushedTotal;
        outcome.sawRedirect = head_.SawRedirect();
        Fail(cancelled_ ? ERROR_INTERNET_OPERATION_CANCELLED : InternetErrorFromCurl(outcome));
    }
}

DWORD Transfer::Fail(DWORD error)
{
    if (failure_ == ERROR_SUCCESS) {
        failure_ = error;
    }
    finished_ = true;
    // Taking the handle out of the multi handle closes an unfinished connection, so the
    // server sees the request end instead of waiting for the rest of it.
    Detach();
    return failure_;
}

void Transfer::Detach()
{
    if (attached_) {
        curl_multi_remove_handle(multi_.get(), easy_.get());
        attached_ = false;
    }
}

void Transfer::ApplyPause()
{
    if (finished_) {
        return;
    }
    const int mask = (sendPaused_ ? CURLPAUSE_SEND : 0) | (receivePaused_ ? CURLPAUSE_RECV : 0);
    curl_easy_pause(easy_.get(), mask);
}

void Transfer::Cancel()
{
    cancelled_ = true;
    curl_multi_wakeup(multi_.get());
}

DWORD Transfer::Start()
{
    if (plan_.body == BodyKind::Pushed) {
        const bool empty = plan_.pushedTotal == 0;
        const DWORD error = Pump([&] { return empty ? connected_ : bodyWanted_; }, Wait::Send);
        if (error != ERROR_SUCCESS) {
            return error;
        }
        // An answer before any of the body: the caller's writes go nowhere, and the
        // answer is what the end of the request reports.
        discardBody_ = finished_;
        return ERROR_SUCCESS;
    }
    return AwaitHead();
}

DWORD Transfer::Flush()
{
    if (Staged() == 0 || discardBody_) {
        return ERROR_SUCCESS;
    }
    if (sendPaused_) {
        sendPaused_ = false;
        ApplyPause();
    }
    const DWORD error = Pump([&] { return Staged() == 0; }, Wait::Send);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (Staged() != 0) {
        // The server answered and closed the exchange while the body was still coming.
        discardBody_ = true;
        stagedBegin_ = stagedEnd_ = 0;
    }
    return ERROR_SUCCESS;
}

DWORD Transfer::Write(const BYTE* bytes, DWORD count)
{
    if (failure_ != ERROR_SUCCESS) {
        return failure_;
    }
    if (plan_.body != BodyKind::Pushed || count > plan_.pushedTotal - accepted_) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    accepted_ += count;
    std::size_t left = count;
    while (left > 0 && !discardBody_) {
        if (stagedEnd_ == staging_.size()) {
            if (const DWORD error = Flush(); error != ERROR_SUCCESS) {
                return error;
            }
            continue;
        }
        const std::size_t take = std::min(left, staging_.size() - stagedEnd_);
        std::memcpy(staging_.data() + stagedEnd_, bytes, take);
        stagedEnd_ += take;
        bytes += take;
        left -= take;
    }
    return ERROR_SUCCESS;
}

DWORD Transfer::End()
{
    if (failure_ != ERROR_SUCCESS) {
        return failure_;
    }
    if (plan_.body != BodyKind::Pushed) {
        return ERROR_INTERNET_INCORRECT_HANDLE_STATE;
    }
    if (accepted_ < plan_.pushedTotal) {
        // The announced length can no longer be met; the half-sent request is abandoned.
        return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    }
    if (const DWORD error = Flush(); error != ERROR_SUCCESS) {
        return error;
    }
    return AwaitHead();
}

DWORD Transfer::AwaitHead()
{
    const DWORD error = Pump([&] { return head_.Ready(false); }, Wait::Receive);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (!head_.Ready(finished_)) {
        return Fail(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    }
    return ERROR_SUCCESS;
}

DWORD Transfer::Read(BYTE* buffer, DWORD count, DWORD& got)
{
    got = 0;
    for (;;) {
        if (const std::size_t buffered = Buffered(); buffered > 0) {
            const std::size_t take = std::min<std::size_t>(buffered, count);
            std::memcpy(buffer, received_.data() + receivedBegin_, take);
            receivedBegin_ += take;
            if (receivedBegin_ == received_.size()) {
                received_.clear();
                receivedBegin_ = 0;
            }
            got = static_cast<DWORD>(take);
            if (receivePaused_ && Buffered() < kReceiveLimit) {
                receivePaused_ = false;
                ApplyPause();
            }
            return ERROR_SUCCESS;
        }
        if (finished_) {
            return failure_;
        }
        if (receivePaused_) {
            receivePaused_ = false;
            ApplyPause();
        }
        const DWORD error = Pump([&] { return Buffered() > 0; }, Wait::Receive);
        if (error != ERROR_SUCCESS && Buffered() == 0) {
            return error;
        }
    }
}

}  // namespace wininet
