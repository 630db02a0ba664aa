#pragma once
// Cases that pin one backend's answer. The Windows build's platform calls are the real
// libraries (under Wine in the test run); where those answer otherwise than our Linux
// imitation, the case says how and is skipped there with that reason printed.

#include <gtest/gtest.h>

#ifdef _WIN32
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << "the real library differs: " << reason
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif
