#include "app/text/cp932.h"

#include "app/text/cp932_table_builder.h"
#include "app/text/cp932_tables.h"
#include "app/text/win32/wide_text.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Code page 932 through the system's own converter, whatever the ANSI code
// page of this Windows is. The conversion tables are filled once from
// MultiByteToWideChar and WideCharToMultiByte, so that the invalid-byte rules
// are the same as on the other platforms.
namespace mirunea::cp932 {

namespace {

constexpr UINT kCodePage = 932;

// Windows also maps 0x80, 0xA0 and 0xFD..0xFF, to U+0080 and private-use
// characters; they are no Shift-JIS and decode as invalid here, as elsewhere.
[[nodiscard]] constexpr bool isSingleByteCharacter(unsigned char byte)
{
    return byte <= 0x7F || (byte >= 0xA1 && byte <= 0xDF);
}

// One character, or U+FFFD where Windows calls the bytes invalid.
[[nodiscard]] char16_t decodeOne(const char* bytes, int size)
{
    wchar_t output[2] = {};
    const int count = ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, size, output, 2);
    if (count != 1 || isSurrogate(static_cast<char16_t>(output[0])))
        return kReplacementCharacter;
    return static_cast<char16_t>(output[0]);
}

// Windows writes U+0080 and U+F8F0..U+F8F3 as the bytes that decode() calls
// invalid; those characters are unmappable here, so that everything encode()
// writes decodes again.
[[nodiscard]] bool decodesAsOneCharacter(const char* bytes, int size)
{
    const DecodeTable& table = decodeTable();
    if (size < 1)
        return false;
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (size == 1)
        return !isLeadByte(first) && table.singleByte[first] != kReplacementCharacter;
    const auto second = static_cast<unsigned char>(bytes[1]);
    return size == 2 && isLeadByte(first) && isTrailByte(second)
        && table.doubleByte[leadIndex(first) * 256 + second] != kReplacementCharacter;
}

} // namespace

DecodeTable buildPlatformDecodeTable()
{
    return buildDecodeTable([](const unsigned char* bytes, std::size_t size) {
        if (size == 1 && !isSingleByteCharacter(bytes[0]))
            return kReplacementCharacter;
        return decodeOne(reinterpret_cast<const char*>(bytes), static_cast<int>(size));
    });
}

// No bytes also where Windows has neither a mapping nor a best fit.
EncodeTable buildPlatformEncodeTable()
{
    return buildEncodeTable([](char16_t unit) {
        const wchar_t input = static_cast<wchar_t>(unit);
        char output[4] = {};
        BOOL usedDefault = FALSE;
        const int count = ::WideCharToMultiByte(kCodePage, 0, &input, 1, output, sizeof output, nullptr, &usedDefault);
        if (usedDefault || !decodesAsOneCharacter(output, count))
            return std::string();
        return std::string(output, static_cast<std::size_t>(count));
    });
}

std::u16string utf16FromUtf8(std::string_view utf8)
{
    const std::wstring wide = win32::wideFromBytes(CP_UTF8, utf8);
    return std::u16string(wide.begin(), wide.end());
}

std::string utf8FromDecodedText(std::u16string_view text)
{
    return win32::bytesFromWide(CP_UTF8, std::wstring(text.begin(), text.end()));
}

} // namespace mirunea::cp932
