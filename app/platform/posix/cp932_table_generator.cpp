// Writes the code page 932 tables of glibc's "CP932" converter as C++ source
// (see cp932_glibc_tables.h), once per build:
//   mirunea_cp932_table_generator <output.cpp>
#include "app/cp932_tables.h"

#include <iconv.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

namespace mirunea::cp932 {

namespace {

class IconvHandle
{
public:
    IconvHandle(const char* to, const char* from)
        : m_handle(iconv_open(to, from))
    {
        if (m_handle == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~IconvHandle() { iconv_close(m_handle); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // Converts the whole input, or returns false where the converter rejects it.
    [[nodiscard]] bool convert(const void* input, std::size_t inputSize, std::string& output)
    {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        std::array<char, 16> buffer{};
        char* in = const_cast<char*>(static_cast<const char*>(input));
        char* out = buffer.data();
        std::size_t inLeft = inputSize;
        std::size_t outLeft = buffer.size();
        if (iconv(m_handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return false;
        output.assign(buffer.data(), out);
        return true;
    }

private:
    iconv_t m_handle;
};

// One UTF-16LE unit from the converter's output, or U+FFFD for anything else.
[[nodiscard]] char16_t singleUtf16Unit(const std::string& utf16le)
{
    if (utf16le.size() != 2)
        return kReplacementCharacter;
    const auto low = static_cast<unsigned char>(utf16le[0]);
    const auto high = static_cast<unsigned char>(utf16le[1]);
    const auto unit = static_cast<char16_t>(low | (high << 8));
    return isSurrogate(unit) ? kReplacementCharacter : unit;
}

[[nodiscard]] DecodeTable buildDecodeTable()
{
    IconvHandle toUtf16("UTF-16LE", "CP932");
    DecodeTable table;
    std::string output;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const auto input = static_cast<unsigned char>(byte);
        table.singleByte[byte] = !isLeadByte(input) && toUtf16.convert(&input, 1, output) ? singleUtf16Unit(output)
                                                                                          : kReplacementCharacter;
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            if (!isTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const std::array<unsigned char, 2> input{static_cast<unsigned char>(lead),
                                                     static_cast<unsigned char>(trail)};
            if (toUtf16.convert(input.data(), input.size(), output))
                table.doubleByte[leadIndex(input[0]) * 256 + trail] = singleUtf16Unit(output);
        }
    }
    return table;
}

[[nodiscard]] EncodeTable buildEncodeTable()
{
    IconvHandle fromUtf16("CP932", "UTF-16LE");
    EncodeTable table(0x10000, kNoMapping);
    std::string output;
    for (unsigned codePoint = 0; codePoint < 0x10000; ++codePoint) {
        if (isSurrogate(static_cast<char16_t>(codePoint)))
            continue;
        const std::array<unsigned char, 2> input{static_cast<unsigned char>(codePoint & 0xFF),
                                                 static_cast<unsigned char>(codePoint >> 8)};
        if (!fromUtf16.convert(input.data(), input.size(), output))
            continue;
        if (output.size() == 1)
            table[codePoint] = static_cast<unsigned char>(output[0]);
        else if (output.size() == 2)
            table[codePoint] = static_cast<std::uint16_t>((static_cast<unsigned char>(output[0]) << 8)
                                                          | static_cast<unsigned char>(output[1]));
    }
    return table;
}

template<typename Unit>
void writeArray(std::ostream& out, const char* declaration, const Unit* units, std::size_t count)
{
    out << declaration << " = {\n";
    char hex[8];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(units[i]));
        out << hex << (i + 1 == count ? "\n" : (i % 16 == 15 ? ",\n" : ","));
    }
    out << "};\n";
}

} // namespace

} // namespace mirunea::cp932

int main(int argc, char** argv)
{
    using namespace mirunea::cp932;
    if (argc != 2) {
        std::cerr << "usage: mirunea_cp932_table_generator <output.cpp>\n";
        return 2;
    }
    try {
        const DecodeTable decode = buildDecodeTable();
        const EncodeTable encode = buildEncodeTable();
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out << "// Generated by mirunea_cp932_table_generator from glibc's CP932 converter.\n"
               "#include \"app/platform/posix/cp932_glibc_tables.h\"\n\n"
               "namespace mirunea::cp932::glibc {\n\n";
        writeArray(out, "const char16_t singleByte[256]", decode.singleByte.data(), decode.singleByte.size());
        writeArray(out, "const char16_t doubleByte[kDoubleByteSize]", decode.doubleByte.data(),
                   decode.doubleByte.size());
        writeArray(out, "const std::uint16_t encode[kEncodeSize]", encode.data(), encode.size());
        out << "\n} // namespace mirunea::cp932::glibc\n";
        out.close();
        if (!out) {
            std::cerr << "mirunea_cp932_table_generator: cannot write " << argv[1] << "\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "mirunea_cp932_table_generator: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
