#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The working directory's files as a collector meets them: listed without
// following anything, read one by one within a bound. Whoever can write the
// folder may have put anything there under a matching name, so nothing here
// follows a link, waits on a FIFO or device, or reads without bound.
namespace mirunea {

enum class FolderEntryKind {
    RegularFile,
    Link,   // a symbolic link, or on Windows any reparse point (junctions included)
    Folder, // a folder of that name
    Other,  // FIFO, device, socket
};

struct FolderEntry
{
    std::string name;       // UTF-8 for showing; bytes that are no UTF-8 show as U+FFFD
    std::string nativeName; // the platform's own spelling, to open it again; not for showing
    FolderEntryKind kind = FolderEntryKind::Other;
    std::uint64_t size = 0;
    std::int64_t modifiedUnixSeconds = 0;
    std::uint64_t linkCount = 0; // 0 where the listing cannot tell (Windows: known once opened)
};

struct FolderListing
{
    std::vector<FolderEntry> entries; // in the order the folder gave them
    std::size_t leftOut = 0;          // matching entries past the bound, not listed
};

// The working directory's entries whose name ends in suffix (ASCII letters
// compared without case, as Windows does, so both builds list the same
// files), at most maxEntries of them. Throws IoFailure when the folder cannot
// be listed.
[[nodiscard]] FolderListing listWorkingFolder(std::string_view suffix, std::size_t maxEntries);

enum class ReadOutcome {
    Read,           // the bytes are the whole file
    NotRegularFile, // a link, folder, FIFO or device (found so when opened)
    HardLinked,     // the file has another name too: it may be anyone's file
    TooLarge,       // more than maxBytes
    Changed,        // not the listed file any more (replaced, grown or shrunk meanwhile)
    Busy,           // held by a writer (a PC sending at this moment): a sharing violation
    Failed,         // any other failure; errorCode says which
};

struct ReadResult
{
    ReadOutcome outcome = ReadOutcome::Failed;
    int errorCode = 0; // the Windows system error code for Busy and Failed
};

// Reads the listed file into bytes (replacing what they held) if it is still
// a regular file with one name, of the listed size and at most maxBytes
// long; shares reading only, as the questionnaire reader does. A link is
// never followed, a FIFO or device never waited on.
[[nodiscard]] ReadResult readListedFile(const FolderEntry& entry, std::size_t maxBytes, std::string& bytes);

} // namespace mirunea
