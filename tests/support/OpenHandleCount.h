#pragma once
// How many handles the process holds (descriptors on Linux, kernel handles on Windows):
// a client that leaks a socket or a file shows as a count that grew.

namespace testsupport {

int OpenHandleCount();

}  // namespace testsupport
