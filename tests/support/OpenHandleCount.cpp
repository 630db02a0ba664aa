#include "tests/support/OpenHandleCount.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace testsupport {

int OpenHandleCount()
{
#ifdef _WIN32
    DWORD count = 0;
    return ::GetProcessHandleCount(::GetCurrentProcess(), &count) ? static_cast<int>(count) : -1;
#else
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir) != nullptr)
            ++count;
        ::closedir(dir);
    }
    return count;
#endif
}

}  // namespace testsupport
