#include "app/platform/posix/netbios_name.h"

#include "app/text/shift_jis.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mirunea {

namespace {

constexpr std::size_t kMaxNetBiosNameBytes = 15;

// A cut name: at most 6 bytes of the beginning, "~", four hex digits, at most
// 4 bytes of the end (the room's numbering usually stands there, as in
// "CLASSROOM-PC-001" -> "CLASSR~XXXX-001").
constexpr std::size_t kKeptHeadBytes = 6;
constexpr std::size_t kKeptTailBytes = 4;
constexpr char kCutMark = '~';
constexpr std::size_t kHashDigits = 4;
static_assert(kKeptHeadBytes + 1 + kHashDigits + kKeptTailBytes == kMaxNetBiosNameBytes);

// Where each character begins, walked from the start (a trail byte may look
// like a lead byte, so no character boundary can be found from the end),
// and the end itself. A lead byte at the very end stands alone.
std::vector<std::size_t> characterBoundaries(std::string_view text)
{
    std::vector<std::size_t> boundaries;
    std::size_t i = 0;
    while (i < text.size()) {
        boundaries.push_back(i);
        i += cp932::isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    boundaries.push_back(text.size());
    return boundaries;
}

// ASCII letters upper-cased (as Windows and Wine report NetBIOS names); the
// trail byte of a double-byte character is left as it is.
std::string upperCased(std::string_view text)
{
    std::string upper(text);
    const std::vector<std::size_t> boundaries = characterBoundaries(text);
    for (std::size_t k = 0; k + 1 < boundaries.size(); ++k) {
        char& c = upper[boundaries[k]];
        if (boundaries[k + 1] - boundaries[k] == 1 && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

// 32-bit FNV-1a, xor-folded to 16 bits.
std::uint16_t foldedFnv1a(std::string_view bytes)
{
    std::uint32_t hash = 2166136261u;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 16777619u;
    }
    return static_cast<std::uint16_t>((hash >> 16) ^ (hash & 0xFFFFu));
}

std::string upperHex(std::uint16_t value)
{
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t digit = kHashDigits; digit-- > 0;)
        hex += kDigits[(value >> (4 * digit)) & 0xFu];
    return hex;
}

} // namespace

// The first DNS label, upper-cased. A label of more than 15 bytes keeps its
// beginning and its end, whole characters only, with "~" and the hash of the
// whole upper-cased label between them: two host names that share their
// first 15 bytes would otherwise write one answer file.
std::string netBiosNameFromHostName(std::string_view hostName)
{
    // 0x2E is never a trail byte, so the first "." ends the first label.
    const std::string label = upperCased(hostName.substr(0, hostName.find('.')));
    if (label.size() <= kMaxNetBiosNameBytes)
        return label;
    const std::vector<std::size_t> boundaries = characterBoundaries(label);
    std::size_t headEnd = 0;
    std::size_t tailStart = label.size();
    for (const std::size_t boundary : boundaries) {
        if (boundary <= kKeptHeadBytes)
            headEnd = boundary;
        if (boundary >= label.size() - kKeptTailBytes && boundary < tailStart)
            tailStart = boundary;
    }
    return label.substr(0, headEnd) + kCutMark + upperHex(foldedFnv1a(label)) + label.substr(tailStart);
}

std::string netBiosNameFromSetName(std::string_view setName)
{
    const std::string name = upperCased(setName);
    std::size_t end = 0;
    for (const std::size_t boundary : characterBoundaries(name)) {
        if (boundary > kMaxNetBiosNameBytes)
            break;
        end = boundary;
    }
    return name.substr(0, end);
}

} // namespace mirunea
