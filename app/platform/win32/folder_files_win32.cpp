#include "app/platform/folder_files.h"

#include "app/failure/io_failure.h"
#include "app/platform/listed_file_read.h"
#include "app/platform/scoped_handle.h"
#include "app/platform/win32/file_handle.h"
#include "app/text/win32/wide_text.h"

#include <cstring>
#include <utility>

namespace mirunea {

namespace {

// FILETIME counts 100 ns steps from 1601; Unix seconds start in 1970.
constexpr std::int64_t kUnixEpochInFileTime = 116444736000000000;
constexpr std::int64_t kFileTimeStepsPerSecond = 10000000;

[[nodiscard]] std::int64_t unixSeconds(const FILETIME& time)
{
    const auto steps = static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32)
                                                 | time.dwLowDateTime);
    const std::int64_t since = steps - kUnixEpochInFileTime;
    // Rounded down, also before 1970, so that both builds agree.
    return since >= 0 ? since / kFileTimeStepsPerSecond
                      : -((-since + kFileTimeStepsPerSecond - 1) / kFileTimeStepsPerSecond);
}

[[nodiscard]] std::uint64_t joined(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

[[nodiscard]] wchar_t asciiLower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// The suffix is ASCII; Windows itself compares names without case.
[[nodiscard]] bool endsWithIgnoringCase(std::wstring_view name, std::string_view suffix)
{
    if (name.size() < suffix.size())
        return false;
    const std::wstring_view end = name.substr(name.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (asciiLower(end[i]) != asciiLower(static_cast<wchar_t>(static_cast<unsigned char>(suffix[i]))))
            return false;
    }
    return true;
}

// UTF-8 for showing; a lone surrogate (NTFS allows one) becomes U+FFFD.
[[nodiscard]] std::string utf8Of(std::wstring_view name)
{
    return win32::bytesFromWide(CP_UTF8, name);
}

// The wide name kept as its bytes, so that it opens again exactly.
[[nodiscard]] std::string nativeOf(std::wstring_view name)
{
    return std::string(reinterpret_cast<const char*>(name.data()), name.size() * sizeof(wchar_t));
}

[[nodiscard]] std::wstring wideOf(const std::string& native)
{
    std::wstring name(native.size() / sizeof(wchar_t), L'\0');
    std::memcpy(name.data(), native.data(), name.size() * sizeof(wchar_t));
    return name;
}

[[nodiscard]] FolderEntryKind kindOf(DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return FolderEntryKind::Link;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return FolderEntryKind::Folder;
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        return FolderEntryKind::Other;
    return FolderEntryKind::RegularFile;
}

struct SearchTraits
{
    using Handle = HANDLE;
    [[nodiscard]] static HANDLE none() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE search) noexcept { ::FindClose(search); }
};
using Search = ScopedHandle<SearchTraits>;

using Handle = win32::FileHandle;

[[nodiscard]] ReadResult failedWithLastError()
{
    const DWORD code = ::GetLastError();
    return {ReadOutcome::Failed, code == ERROR_SUCCESS ? static_cast<int>(ERROR_GEN_FAILURE) : static_cast<int>(code)};
}

} // namespace

FolderListing listWorkingFolder(std::string_view suffix, std::size_t maxEntries)
{
    FolderListing listing;
    WIN32_FIND_DATAW found{};
    // Every name, matched here: a pattern "*.ans" would also match the short
    // 8.3 names of longer extensions ("x.ansx" as "X~1.ANS").
    const Search search(
        ::FindFirstFileExW(L"*", FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (search.get() == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND)
            return listing;
        win32::throwLastError();
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (!endsWithIgnoringCase(name, suffix))
            continue;
        if (listing.entries.size() >= maxEntries) {
            ++listing.leftOut;
            continue;
        }
        FolderEntry entry;
        entry.name = utf8Of(name);
        entry.nativeName = nativeOf(name);
        entry.kind = kindOf(found.dwFileAttributes);
        entry.size = joined(found.nFileSizeHigh, found.nFileSizeLow);
        entry.modifiedUnixSeconds = unixSeconds(found.ftLastWriteTime);
        listing.entries.push_back(std::move(entry));
    } while (::FindNextFileW(search.get(), &found));
    if (::GetLastError() != ERROR_NO_MORE_FILES)
        win32::throwLastError();
    return listing;
}

ReadResult readListedFile(const FolderEntry& entry, std::size_t maxBytes, std::string& bytes)
{
    bytes.clear();
    if (entry.kind != FolderEntryKind::RegularFile)
        return {ReadOutcome::NotRegularFile, 0};
    if (entry.size > maxBytes)
        return {ReadOutcome::TooLarge, 0};

    // FILE_SHARE_READ: a PC writing the file at this moment shuts us out
    // (sharing violation) rather than our reading half a file.
    // FILE_FLAG_OPEN_REPARSE_POINT: a link put there since the listing is
    // opened itself, never its target, and refused below.
    const std::wstring name = wideOf(entry.nativeName);
    const HANDLE opened = ::CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_SHARING_VIOLATION)
            return {ReadOutcome::Busy, static_cast<int>(ERROR_SHARING_VIOLATION)};
        return failedWithLastError();
    }
    const Handle file(opened);
    // A device name ("CON.ans") or pipe opens something that is no file.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK)
        return {ReadOutcome::NotRegularFile, 0};
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file.get(), &information))
        return failedWithLastError();
    if ((information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return {ReadOutcome::NotRegularFile, 0};
    if (information.nNumberOfLinks > 1)
        return {ReadOutcome::HardLinked, 0};
    const std::uint64_t size = joined(information.nFileSizeHigh, information.nFileSizeLow);
    if (size > maxBytes)
        return {ReadOutcome::TooLarge, 0};
    if (size != entry.size || unixSeconds(information.ftLastWriteTime) != entry.modifiedUnixSeconds)
        return {ReadOutcome::Changed, 0};

    return readCheckedSize(bytes, static_cast<std::size_t>(size), [&file](char* into, std::size_t room) {
        DWORD count = 0;
        if (!::ReadFile(file.get(), into, static_cast<DWORD>(room), &count, nullptr))
            return ReadStep{0, failedWithLastError()};
        return ReadStep{count, std::nullopt};
    });
}

} // namespace mirunea
