#pragma once
// A yes-or-no check on a thread of its own, whose answer the user interface thread polls:
// the connection test before an unattended login, which can wait up to the connect limit
// on a stalled server. A close never waits for it. The check's thread owns what it shares
// with its owner, so the owner may go while it runs; the program then ends without running
// its static destructors under that thread (EndAtOnceIfChecksRun).

#include <functional>
#include <memory>
#include <optional>

class BackgroundCheck {
public:
    void Start(std::function<bool()> check);
    bool Started() const { return state_ != nullptr; }
    // The check's answer once it has finished; nullopt before that.
    std::optional<bool> Answer() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

// When a check left behind still runs: stdout and stderr flushed, then the process ends
// at once with the status. Otherwise returns.
void EndAtOnceIfChecksRun(int status);
