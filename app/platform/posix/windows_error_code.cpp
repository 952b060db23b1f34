#include "app/platform/posix/windows_error_code.h"

#include <cerrno>

namespace mirunea {

int windowsErrorCodeFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return win32::kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EILSEQ:
    case EINVAL:
        return win32::kPathNotFound;
    case EMFILE:
    case ENFILE:
        return win32::kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EEXIST:
    case ENXIO: // a socket, or a FIFO without reader: no file to open
    case ENODEV:
        return win32::kAccessDenied;
    case EAGAIN:
    case EBUSY: // how SMB clients report a sharing violation
        return win32::kSharingViolation;
    case ENOSPC:
    case EDQUOT:
        return win32::kDiskFull;
    case ENOMEM:
        return win32::kNotEnoughMemory;
    case EFBIG:
        return win32::kFileTooLarge;
    case EIO:
        return win32::kIoDevice;
    case ETIMEDOUT:
        return win32::kSemaphoreTimeout;
    case ENETDOWN:
    case ENETUNREACH:
    case ENETRESET:
    case ECONNABORTED:
    case ECONNRESET:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ESTALE:
        return win32::kUnexpectedNetworkError;
    default:
        return win32::kGeneralFailure;
    }
}

} // namespace mirunea
