#pragma once
// SIGTERM and SIGINT, the way a photo-booth host ends the program, reach the dialog as
// its close command: the handler only notes the signal; the timer takes it.

void InstallCloseSignals();
// True once per signal received since the last call.
bool TakeCloseSignal();
