#pragma once

#include "app/text/cp932_tables.h"

#include <cstddef>
#include <cstdint>

// Code page 932 as glibc's "CP932" converter has it, taken from iconv when the
// program is built (cp932_table_generator.cpp), so that starting the program
// costs no conversions and needs no iconv module or file descriptor.
namespace mirunea::cp932::glibc {

inline constexpr std::size_t kDoubleByteSize = kLeadByteCount * 256;
inline constexpr std::size_t kEncodeSize = 0x10000;

extern const char16_t singleByte[256];
// Indexed like DecodeTable::doubleByte.
extern const char16_t doubleByte[kDoubleByteSize];
// Indexed by BMP code point, as EncodeTable.
extern const std::uint16_t encode[kEncodeSize];

} // namespace mirunea::cp932::glibc
