#pragma once
// The one stop signal of the service: handlers that sleep on purpose (scripted delays,
// stalls, throttling, admin waits) sleep on it, so that a shutdown never waits for them.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace standin {

class Stopper {
public:
    // False when the service began stopping before the time was up.
    bool SleepFor(std::chrono::milliseconds duration);
    void Stop();
    bool Stopping() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};

}  // namespace standin
