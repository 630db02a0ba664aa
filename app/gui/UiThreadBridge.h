#pragma once
// Runs a call on the user interface thread for another thread and lets the caller wait
// until it is done there. The user interface thread never waits for the caller, so the
// only way to hang would be a call that is never run: after Shutdown (the window's end)
// queued and new calls are refused and their callers released at once.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class UiThreadBridge {
public:
    UiThreadBridge();  // on the user interface thread

    // True when the call ran. On the user interface thread itself it runs at once.
    bool Run(std::function<void()> call);
    // On the user interface thread, when its window goes.
    void Shutdown();

private:
    struct State {
        std::mutex lock;
        std::condition_variable changed;
        bool open = true;
    };
    std::shared_ptr<State> state_;
    std::thread::id uiThread_;
};
