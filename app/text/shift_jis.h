#pragma once

// The byte classes of code page 932's Shift-JIS, for code that walks a
// Shift-JIS string character by character without decoding it.
namespace mirunea::cp932 {

// The first byte of a double-byte character.
[[nodiscard]] constexpr bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A byte that can follow a lead byte; it may look like ASCII ("ソ" is 83 5C).
[[nodiscard]] constexpr bool isTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

} // namespace mirunea::cp932
