#include "app/BackgroundCheck.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

std::atomic<int> runningChecks{0};

}  // namespace

struct BackgroundCheck::State {
    std::mutex lock;
    std::optional<bool> answer;
};

void BackgroundCheck::Start(std::function<bool()> check)
{
    auto state = std::make_shared<State>();
    ++runningChecks;
    std::thread([state, check = std::move(check)] {
        bool answer = false;
        try {
            answer = check();
        } catch (...) {
            // A check that could not run found nothing.
        }
        {
            std::lock_guard<std::mutex> hold(state->lock);
            state->answer = answer;
        }
        --runningChecks;
    }).detach();
    state_ = std::move(state);
}

std::optional<bool> BackgroundCheck::Answer() const
{
    if (!state_)
        return std::nullopt;
    std::lock_guard<std::mutex> hold(state_->lock);
    return state_->answer;
}

void EndAtOnceIfChecksRun(int status)
{
    if (runningChecks.load() == 0)
        return;
    std::fflush(nullptr);
    std::_Exit(status);
}
