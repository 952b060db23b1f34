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

[[nodiscard]] bool equalsIgnoringAsciiCase(std::string_view text, std::string_view upper)
{
    return text.size() == upper.size() && std::equal(text.begin(), text.end(), upper.begin(), [](char a, char b) {
               return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
           });
}

// A name Windows opens as a device whatever extension follows: CON, PRN,
// AUX, NUL, COM0-COM9, LPT0-LPT9 (0 is reserved on newer Windows only) and
// the consoles CONIN$ and CONOUT$, in any case, with trailing spaces too
// ("NUL .ans" is the null device on some versions). The superscript digits
// that also make COM and LPT devices have no single byte in code page 932.
[[nodiscard]] bool isWindowsDeviceName(std::string_view stem)
{
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (equalsIgnoringAsciiCase(stem, device))
            return true;
    }
    return stem.size() == 4
        && (equalsIgnoringAsciiCase(stem.substr(0, 3), "COM") || equalsIgnoringAsciiCase(stem.substr(0, 3), "LPT"))
        && stem[3] >= '0' && stem[3] <= '9';
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

// A computer name that is a device name ("CON") gets "_" at the end of the
// part before the first dot ("CON_.ans", "CON_.X.ans"), so that every PC and
// the teacher's Windows can open the file; line 1 keeps the name itself.
std::string answerFileName(std::string_view computerName)
{
    std::string name = fileSafeComputerName(computerName);
    // 0x2E is never a trail byte: the first "." ends the stem.
    const std::size_t stemEnd = std::min(name.find('.'), name.size());
    if (isWindowsDeviceName(std::string_view(name).substr(0, stemEnd)))
        name.insert(stemEnd, "_");
    return name + ".ans";
}

} // namespace mirunea
