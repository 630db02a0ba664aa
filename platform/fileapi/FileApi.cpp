#include "platform/fileapi/FileApi.h"

#include "platform/win32/Utf.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// A handle is the descriptor tagged in the pointer's top bits: no allocation to leak,
// and a pointer that is not one of ours (an internet handle, a stale heap address) is
// refused instead of closing some unrelated descriptor. The tag keeps every handle away
// from null and from INVALID_HANDLE_VALUE.
static_assert(sizeof(std::uintptr_t) == 8, "file handles carry their tag in the top 16 bits");

namespace {

constexpr std::uintptr_t kTagMask = 0xFFFF000000000000u;
constexpr std::uintptr_t kTag = 0x46D1000000000000u;

HANDLE HandleFromFd(int fd) { return reinterpret_cast<HANDLE>(kTag | static_cast<std::uintptr_t>(fd)); }

int FdFromHandle(HANDLE handle)
{
    const auto bits = reinterpret_cast<std::uintptr_t>(handle);
    if ((bits & kTagMask) != kTag)
        return -1;
    const std::uintptr_t fd = bits & ~kTagMask;
    return fd > static_cast<std::uintptr_t>(INT_MAX) ? -1 : static_cast<int>(fd);
}

// Sets the last error from errno and returns the given failure value.
template <typename T>
T FailWithErrno(T failure)
{
    SetLastError(Win32ErrorFromErrno(errno));
    return failure;
}

template <typename T>
T Fail(DWORD error, T failure)
{
    SetLastError(error);
    return failure;
}

int OpenForReading(const std::string& path)
{
    int fd;
    // Non-blocking only for the open itself, so that a FIFO without a writer cannot hang it.
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    const int statusFlags = ::fcntl(fd, F_GETFL);
    if (statusFlags < 0 || ::fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) < 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/, void* securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile)
{
    if (fileName == nullptr || securityAttributes != nullptr || templateFile != nullptr
        || creationDisposition != OPEN_EXISTING)
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (desiredAccess != GENERIC_READ)
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);

    const std::u16string_view wide(fileName);
    if (wide.empty())
        return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    const int fd = OpenForReading(Utf16ToUtf8(wide));
    if (fd < 0)
        return FailWithErrno(INVALID_HANDLE_VALUE);

    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return FailWithErrno(INVALID_HANDLE_VALUE);
    }
    if (S_ISDIR(st.st_mode)) {
        // Windows refuses to open a directory as a file with access denied.
        ::close(fd);
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    }
    if ((flagsAndAttributes & FILE_FLAG_SEQUENTIAL_SCAN) != 0)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    SetLastError(ERROR_SUCCESS);
    return HandleFromFd(fd);
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh)
{
    const int fd = FdFromHandle(file);
    if (fd < 0)
        return Fail(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return FailWithErrno(INVALID_FILE_SIZE);
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const auto low = static_cast<DWORD>(size & 0xFFFFFFFFu);
    if (fileSizeHigh != nullptr)
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    // A true size whose low part is all ones is told from a failure only by last error 0.
    if (low == INVALID_FILE_SIZE)
        SetLastError(ERROR_SUCCESS);
    return low;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, void* overlapped)
{
    if (bytesRead != nullptr)
        *bytesRead = 0;
    const int fd = FdFromHandle(file);
    if (fd < 0)
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (overlapped != nullptr || bytesRead == nullptr || (buffer == nullptr && bytesToRead != 0))
        return Fail(ERROR_INVALID_PARAMETER, FALSE);

    auto* out = static_cast<unsigned char*>(buffer);
    DWORD total = 0;
    while (total < bytesToRead) {
        const ssize_t n = ::read(fd, out + total, bytesToRead - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *bytesRead = total;
            return FailWithErrno(FALSE);
        }
        if (n == 0)
            break;  // end of file: success with fewer bytes, as on Windows
        total += static_cast<DWORD>(n);
    }
    *bytesRead = total;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod)
{
    const int fd = FdFromHandle(file);
    if (fd < 0)
        return Fail(ERROR_INVALID_HANDLE, INVALID_SET_FILE_POINTER);
    int whence;
    switch (moveMethod) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default: return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }

    std::int64_t distance = distanceToMove;
    if (distanceToMoveHigh != nullptr)
        distance = static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceToMoveHigh)) << 32)
                                             | static_cast<std::uint32_t>(distanceToMove));

    const off_t before = ::lseek(fd, 0, SEEK_CUR);
    if (before < 0)
        return FailWithErrno(INVALID_SET_FILE_POINTER);
    const off_t after = ::lseek(fd, static_cast<off_t>(distance), whence);
    if (after < 0) {
        if (errno == EINVAL)
            return Fail(ERROR_NEGATIVE_SEEK, INVALID_SET_FILE_POINTER);
        return FailWithErrno(INVALID_SET_FILE_POINTER);
    }
    const auto position = static_cast<std::uint64_t>(after);
    if (distanceToMoveHigh == nullptr && position > 0xFFFFFFFFu) {
        // The caller could not learn where it now is: leave the file where it was.
        ::lseek(fd, before, SEEK_SET);
        return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }
    if (distanceToMoveHigh != nullptr)
        *distanceToMoveHigh = static_cast<LONG>(position >> 32);
    const auto low = static_cast<DWORD>(position & 0xFFFFFFFFu);
    if (low == INVALID_SET_FILE_POINTER)
        SetLastError(ERROR_SUCCESS);
    return low;
}

BOOL CloseHandle(HANDLE handle)
{
    const int fd = FdFromHandle(handle);
    if (fd < 0)
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    // Linux releases the descriptor even when close is interrupted: never retry.
    if (::close(fd) != 0 && errno != EINTR)
        return FailWithErrno(FALSE);
    return TRUE;
}
