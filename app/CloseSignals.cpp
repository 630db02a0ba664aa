#include "app/CloseSignals.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> closeSignalled{false};

#ifdef _WIN32
void OnCloseSignal(int signal)
{
    closeSignalled.store(true);
    // Windows' C runtime puts the default action back before each call: a second signal
    // must reach the dialog too, not end the process.
    std::signal(signal, OnCloseSignal);
}
#else
void OnCloseSignal(int) { closeSignalled.store(true); }
#endif

}  // namespace

#ifdef _WIN32
void InstallCloseSignals()
{
    for (const int signal : {SIGINT, SIGTERM, SIGBREAK})
        std::signal(signal, OnCloseSignal);
}
#else
void InstallCloseSignals()
{
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}
#endif

bool TakeCloseSignal() { return closeSignalled.exchange(false); }
