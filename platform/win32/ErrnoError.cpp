#include "platform/win32/ErrnoError.h"

#include <cerrno>

DWORD Win32ErrorFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENAMETOOLONG: return ERROR_INVALID_NAME;
    case EISDIR: return ERROR_DIRECTORY;
    case EFBIG:
    case EOVERFLOW: return ERROR_FILE_TOO_LARGE;
    case EILSEQ: return ERROR_NO_UNICODE_TRANSLATION;
    default: return ERROR_IO_DEVICE;
    }
}
