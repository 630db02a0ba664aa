#include "app/gui/UiThreadBridge.h"

#include <wx/app.h>

UiThreadBridge::UiThreadBridge() : state_(std::make_shared<State>()), uiThread_(std::this_thread::get_id()) {}

bool UiThreadBridge::Run(std::function<void()> call)
{
    if (std::this_thread::get_id() == uiThread_) {
        call();
        return true;
    }
    struct Pending {
        bool done = false;
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
        pending->done = true;
        pending->ran = true;
        state->changed.notify_all();
    });
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
