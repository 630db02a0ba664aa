#include "tools/standin/Stopper.h"

namespace standin {

bool Stopper::SleepFor(std::chrono::milliseconds duration)
{
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, duration, [this] { return stopping_; });
}

void Stopper::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
}

bool Stopper::Stopping() const
{
    std::lock_guard lock(mutex_);
    return stopping_;
}

}  // namespace standin
