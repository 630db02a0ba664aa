#pragma once
// The one lock shared by the user interface thread and the worker. It guards the log
// queue, workerBusy and cancelRequested; every hold is one short access and nothing is
// called under it, so there is no lock order to keep.

#include <mutex>

extern std::mutex UiLock;
