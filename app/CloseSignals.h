#pragma once
// SIGTERM and SIGINT, the way a photo-booth host ends the program (on Windows also
// Ctrl+Break, the console event a host can send to a process group of its own), reach
// the dialog as its close command: the handler only notes the signal; the dialog's
// thread takes it.

void InstallCloseSignals();
// True once per signal received since the last call.
bool TakeCloseSignal();
