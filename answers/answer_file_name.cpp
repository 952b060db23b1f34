#include "answers/answer_file_name.h"

#include "answers/answer_file.h"
#include "app/text/shift_jis.h"

#include <algorithm>
#include <cstddef>

namespace mirunea {

namespace {

[[nodiscard]] bool isForbiddenInFileName(unsigned char b)
{
    constexpr std::string_view kReserved = "/\\:*?\"<>|";
    return b < 0x20 || b == 0x7F || kReserved.find(static_cast<char>(b)) != std::string_view::npos;
}

} // namespace

// The name is walked as Shift-JIS: a lead byte with a valid trail byte is kept
// as a pair (so "ソ", 83 5C, survives); any other byte a Windows file name
// cannot carry (controls, DEL, / \ : * ? " < > |) becomes "_"; a name of dots
// alone ("." or "..") names a folder, not a computer, so its dots become "_".
// A real NetBIOS name is never changed by this.
std::string fileSafeComputerName(std::string_view computerName)
{
    std::string safe;
    safe.reserve(computerName.size());
    for (std::size_t i = 0; i < computerName.size(); ++i) {
        const auto b = static_cast<unsigned char>(computerName[i]);
        if (cp932::isLeadByte(b) && i + 1 < computerName.size()
            && cp932::isTrailByte(static_cast<unsigned char>(computerName[i + 1]))) {
            safe += computerName.substr(i, 2);
            ++i;
        } else {
            safe += isForbiddenInFileName(b) ? '_' : static_cast<char>(b);
        }
    }
    if (!safe.empty() && std::all_of(safe.begin(), safe.end(), [](char c) { return c == '.'; }))
        std::fill(safe.begin(), safe.end(), '_');
    return safe;
}

std::string answerFileName(std::string_view computerName)
{
    return fileSafeComputerName(computerName) + ".ans";
}

} // namespace mirunea
