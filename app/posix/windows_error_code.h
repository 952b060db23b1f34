#pragma once

namespace mirunea {

// Windows system error codes the file layer reports.
namespace win32 {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kNotEnoughMemory = 8;
inline constexpr int kGeneralFailure = 31;
inline constexpr int kSharingViolation = 32;
inline constexpr int kUnexpectedNetworkError = 59;
inline constexpr int kDiskFull = 112;
inline constexpr int kSemaphoreTimeout = 121;
inline constexpr int kBusy = 170;
inline constexpr int kFileTooLarge = 223;
inline constexpr int kIoDevice = 1117;
} // namespace win32

// The Windows code for a POSIX errno value. Values without a Windows
// counterpart get a code outside the message table's named rows, so that,
// for instance, EIO (errno 5) is never shown as "access denied".
[[nodiscard]] int windowsErrorCodeFromErrno(int errnoValue);

} // namespace mirunea
