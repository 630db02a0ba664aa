#include "app/gui/CloseSignals.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> closeSignalled{false};

void OnCloseSignal(int) { closeSignalled.store(true); }

}  // namespace

void InstallCloseSignals()
{
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool TakeCloseSignal() { return closeSignalled.exchange(false); }
