#include "platform/fileapi/FileApi.h"

#include "platform/win32/ErrnoError.h"
#include "platform/win32/Utf.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

// A handle is one of our OpenFile objects, kept in a table of the open ones, so that a
// pointer that is not ours (an internet handle, a stale address, a handle closed twice)
// is refused instead of closing some unrelated descriptor.
//
// A handle opened for a sequential scan reads ahead in blocks, as the platform's cache
// does for such files: an upload reads its file in 1 KiB steps, and a system call for
// each step cost more than the whole encryption of the body. A read of half a block or
// more goes straight into the caller's buffer: copying it through the block gains nothing.

namespace {

constexpr std::size_t kReadAheadBytes = 64 * 1024;

struct OpenFile {
    int fd = -1;
    bool sequential = false;
    std::vector<unsigned char> ahead;  // bytes read from fd but not yet handed out
    std::size_t aheadOffset = 0;

    std::size_t Buffered() const { return ahead.size() - aheadOffset; }
};

std::mutex openFilesLock;
std::unordered_set<OpenFile*> openFiles;

HANDLE Register(std::unique_ptr<OpenFile> file)
{
    std::lock_guard<std::mutex> hold(openFilesLock);
    OpenFile* raw = file.release();
    openFiles.insert(raw);
    return raw;
}

OpenFile* Lookup(HANDLE handle)
{
    auto* file = static_cast<OpenFile*>(handle);
    std::lock_guard<std::mutex> hold(openFilesLock);
    return openFiles.count(file) != 0 ? file : nullptr;
}

std::unique_ptr<OpenFile> Unregister(HANDLE handle)
{
    auto* file = static_cast<OpenFile*>(handle);
    std::lock_guard<std::mutex> hold(openFilesLock);
    if (openFiles.erase(file) == 0)
        return nullptr;
    return std::unique_ptr<OpenFile>(file);
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
    if (fileName == nullptr || securityAttributes != nullptr || templateFile != nullptr ||
        creationDisposition != OPEN_EXISTING)
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
    auto opened = std::make_unique<OpenFile>();
    opened->fd = fd;
    opened->sequential = (flagsAndAttributes & FILE_FLAG_SEQUENTIAL_SCAN) != 0;
    if (opened->sequential)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    SetLastError(ERROR_SUCCESS);
    return Register(std::move(opened));
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh)
{
    const OpenFile* opened = Lookup(file);
    if (opened == nullptr)
        return Fail(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
    const int fd = opened->fd;
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
    OpenFile* opened = Lookup(file);
    if (opened == nullptr)
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    if (overlapped != nullptr || bytesRead == nullptr || (buffer == nullptr && bytesToRead != 0))
        return Fail(ERROR_INVALID_PARAMETER, FALSE);

    auto* out = static_cast<unsigned char*>(buffer);
    DWORD total = 0;
    auto takeBuffered = [&] {
        const std::size_t take = std::min<std::size_t>(opened->Buffered(), bytesToRead - total);
        if (take == 0)
            return;
        std::memcpy(out + total, opened->ahead.data() + opened->aheadOffset, take);
        opened->aheadOffset += take;
        total += static_cast<DWORD>(take);
    };
    takeBuffered();
    while (total < bytesToRead) {
        const bool refill = opened->sequential && bytesToRead - total < kReadAheadBytes / 2;
        unsigned char* target = refill ? nullptr : out + total;
        if (refill) {
            opened->ahead.resize(kReadAheadBytes);
            opened->aheadOffset = 0;
            target = opened->ahead.data();
        }
        const std::size_t wanted = refill ? kReadAheadBytes : bytesToRead - total;
        ssize_t n;
        do {
            n = ::read(opened->fd, target, wanted);
        } while (n < 0 && errno == EINTR);
        if (refill)
            opened->ahead.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        if (n < 0) {
            *bytesRead = total;
            return FailWithErrno(FALSE);
        }
        if (n == 0)
            break;  // end of file: success with fewer bytes, as on Windows
        if (refill)
            takeBuffered();
        else
            total += static_cast<DWORD>(n);
    }
    *bytesRead = total;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod)
{
    OpenFile* opened = Lookup(file);
    if (opened == nullptr)
        return Fail(ERROR_INVALID_HANDLE, INVALID_SET_FILE_POINTER);
    const int fd = opened->fd;
    // Bytes read ahead but not handed out are given back first, so that the descriptor's
    // position is the caller's position again.
    if (opened->Buffered() != 0 && ::lseek(fd, -static_cast<off_t>(opened->Buffered()), SEEK_CUR) < 0)
        return FailWithErrno(INVALID_SET_FILE_POINTER);
    opened->ahead.clear();
    opened->aheadOffset = 0;
    int whence;
    switch (moveMethod) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default: return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }

    std::int64_t distance = distanceToMove;
    if (distanceToMoveHigh != nullptr)
        distance = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceToMoveHigh)) << 32) |
            static_cast<std::uint32_t>(distanceToMove));

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
    const std::unique_ptr<OpenFile> opened = Unregister(handle);
    if (!opened)
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    // Linux releases the descriptor even when close is interrupted: never retry.
    if (::close(opened->fd) != 0 && errno != EINTR)
        return FailWithErrno(FALSE);
    return TRUE;
}
