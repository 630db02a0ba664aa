#pragma once
// Cases that pin one backend's answer. The Windows build's platform calls are the real
// libraries (under Wine in the test run); where those answer otherwise than our Linux
// imitation, the case says how and is skipped there with that reason printed, or
// expects that backend's own answer.

#include <gtest/gtest.h>

#ifdef _WIN32
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << "the real library differs: " << reason
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif

namespace testsupport {

#ifdef _WIN32
inline constexpr bool kRealWindowsLibraries = true;
#else
inline constexpr bool kRealWindowsLibraries = false;
#endif

// The content sniffer's names: Windows' own sniffer names JPEG and PNG data by their
// old Internet Explorer types, and so do the uploads' file parts there.
inline constexpr const char* kSniffedJpeg = kRealWindowsLibraries ? "image/pjpeg" : "image/jpeg";
inline constexpr const char* kSniffedPng = kRealWindowsLibraries ? "image/x-png" : "image/png";

}  // namespace testsupport
