#pragma once

#include "app/platform/folder_files.h"

#include <cstddef>
#include <optional>
#include <string>

// The part of reading a listed file that every platform shares: the bytes
// are read up to one more than the size the file had when it was checked,
// so that a file that grew or shrank meanwhile is told apart.
namespace mirunea {

// What one read of the platform gave: a count of bytes (0 at the end of the
// file), or the failure to report.
struct ReadStep
{
    std::size_t count = 0;
    std::optional<ReadResult> failure;
};

// readSome(char* into, std::size_t room) -> ReadStep. The bytes are the whole
// file only when the outcome is Read; otherwise they are left empty.
template<class ReadSome>
[[nodiscard]] ReadResult readCheckedSize(std::string& bytes, std::size_t expected, ReadSome readSome)
{
    bytes.resize(expected + 1);
    std::size_t total = 0;
    while (total < bytes.size()) {
        const ReadStep step = readSome(bytes.data() + total, bytes.size() - total);
        if (step.failure) {
            bytes.clear();
            return *step.failure;
        }
        if (step.count == 0)
            break;
        total += step.count;
    }
    bytes.resize(total);
    if (total != expected) {
        bytes.clear();
        return {ReadOutcome::Changed, 0};
    }
    return {ReadOutcome::Read, 0};
}

} // namespace mirunea
