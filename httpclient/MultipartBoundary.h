#pragma once
// The length of every multipart boundary the client writes, its own generated one and
// the fixed one alike: an upload's body is sized from it before the boundary is written.

#include "platform/win32/Win32Types.h"

namespace Tavik {

inline constexpr DWORD kMultipartBoundaryLength = 43;

}  // namespace Tavik
