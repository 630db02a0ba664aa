#include "app/gui/UiThreadBridge.h"

#include <wx/app.h>

#include <atomic>
#include <chrono>

namespace {

constexpr std::chrono::milliseconds kSpinBeforeSleeping{2};

}  // namespace

UiThreadBridge::UiThreadBridge() : state_(std::make_shared<State>()), uiThread_(std::this_thread::get_id()) {}

bool UiThreadBridge::Run(std::function<void()> call)
{
    if (std::this_thread::get_id() == uiThread_) {
        call();
        return true;
    }
    struct Pending {
        std::atomic<bool> done{false};  // also read without the lock, while yielding
        bool ran = false;
    };
    auto pending = std::make_shared<Pending>();
    {
        std::lock_guard<std::mutex> hold(state_->lock);
        if (!state_->open || wxTheApp == nullptr)
            return false;
    }
    wxTheApp->CallAfter([state = state_, pending, call = std::move(call)] {
        {
            std::lock_guard<std::mutex> hold(state->lock);
            if (!state->open)
                return;
        }
        call();
        std::lock_guard<std::mutex> hold(state->lock);
        pending->ran = true;
        pending->done.store(true, std::memory_order_release);
        state->changed.notify_all();
    });
    // An upload waits here for each of its hundred-odd title changes. The user interface
    // thread answers within a fraction of a millisecond, and a caller put to sleep took
    // about as long again to wake: so it first yields for a short while, then sleeps.
    const auto spinUntil = std::chrono::steady_clock::now() + kSpinBeforeSleeping;
    while (!pending->done.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < spinUntil)
        std::this_thread::yield();
    std::unique_lock<std::mutex> hold(state_->lock);
    state_->changed.wait(hold, [&] { return pending->done || !state_->open; });
    return pending->ran;
}

void UiThreadBridge::Shutdown()
{
    std::lock_guard<std::mutex> hold(state_->lock);
    state_->open = false;
    state_->changed.notify_all();
}
