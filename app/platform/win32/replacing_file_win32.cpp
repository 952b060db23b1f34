#include "app/platform/replacing_file.h"

#include "app/failure/io_failure.h"
#include "app/platform/win32/file_handle.h"

#include <string_view>

namespace mirunea {

using win32::fromHandle;
using win32::kClosed;
using win32::toHandle;

namespace {

// A name taken by someone else is left alone and another one tried, a few times.
constexpr int kNameAttempts = 16;

std::uint64_t nextSalt()
{
    static std::uint64_t counter = 0;
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 40) ^ static_cast<std::uint64_t>(now.QuadPart)
        ^ (++counter * 0x9E3779B97F4A7C15u);
}

void requirePlainName(const std::string& name)
{
    win32::requireNoZeroByte(name.data(), name.size());
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos)
        throw IoFailure(ERROR_PATH_NOT_FOUND);
}

} // namespace

ReplacingFile ReplacingFile::create(const std::string& targetName)
{
    requirePlainName(targetName);
    for (int attempt = 1;; ++attempt) {
        std::string temporary = temporaryNameBeside(targetName, nextSalt());
        // CREATE_NEW fails on any existing name, a link included, so nothing
        // is ever written through one.
        const HANDLE handle = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return ReplacingFile(fromHandle(handle), targetName, std::move(temporary));
        const DWORD code = ::GetLastError();
        if ((code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) && attempt < kNameAttempts)
            continue;
        win32::throwLastError();
    }
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, kClosed))
    , m_targetName(std::move(other.m_targetName))
    , m_temporaryName(std::exchange(other.m_temporaryName, std::string()))
{
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

void ReplacingFile::discard() noexcept
{
    win32::closeIfOpen(std::exchange(m_handle, kClosed));
    if (!m_temporaryName.empty())
        ::DeleteFileA(std::exchange(m_temporaryName, std::string()).c_str());
}

void ReplacingFile::write(std::string_view bytes)
{
    const HANDLE handle = toHandle(m_handle);
    while (!bytes.empty()) {
        constexpr std::size_t kMaxChunk = 1u << 30;
        const DWORD chunk = static_cast<DWORD>(bytes.size() < kMaxChunk ? bytes.size() : kMaxChunk);
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr))
            win32::throwLastError();
        if (written == 0) // not expected of a disk file; never loop on it
            throw IoFailure(ERROR_WRITE_FAULT);
        bytes.remove_prefix(written);
    }
}

void ReplacingFile::commit()
{
    // The bytes reach the disk before the name does: after a crash the name
    // holds the old file or the new one, never a cut one.
    DWORD failure = ERROR_SUCCESS;
    if (!::FlushFileBuffers(toHandle(m_handle)))
        failure = ::GetLastError();
    if (!::CloseHandle(toHandle(std::exchange(m_handle, kClosed))) && failure == ERROR_SUCCESS)
        failure = ::GetLastError();
    // Replacing the directory entry: a link placed under the target's name
    // goes, its target is untouched.
    if (failure == ERROR_SUCCESS
        && !::MoveFileExA(m_temporaryName.c_str(), m_targetName.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = ::GetLastError();
    if (failure != ERROR_SUCCESS) {
        discard();
        throw IoFailure(static_cast<int>(failure));
    }
    m_temporaryName.clear();
}

} // namespace mirunea
