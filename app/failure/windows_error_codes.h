#pragma once

// The Windows system error codes the program names: what an I/O failure
// carries on every platform, and the rows of its message table.
namespace mirunea::win32 {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kNotEnoughMemory = 8;
inline constexpr int kGeneralFailure = 31;
inline constexpr int kSharingViolation = 32;
inline constexpr int kUnexpectedNetworkError = 59;
inline constexpr int kReadPastEnd = 100; // the message table's own rows, raised by nothing
inline constexpr int kDiskFullLegacy = 101;
inline constexpr int kInvalidNumber = 106;
inline constexpr int kDiskFull = 112;
inline constexpr int kSemaphoreTimeout = 121;
inline constexpr int kFileTooLarge = 223;
inline constexpr int kInternalError = 1359; // any other failure that leaves a handler
inline constexpr int kIoDevice = 1117;
} // namespace mirunea::win32
