// The byte tables of the supported code pages, generated into
// platform/code_page_tables.cpp by scripts/code_page_tables.py, whose comment
// describes where they come from and the packed form of the cells.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dravonix {

/// The packed table of one code page.
struct CodePageTable {
    std::uint16_t number;       // the code page's number
    unsigned char trail_first;  // the second bytes the cells of each lead byte cover
    unsigned char trail_last;   // (0 and 0 for a single-byte page)
    /// Packed cells: the characters of the bytes 0x80 to 0xFF (U+FFFD for a
    /// lead byte), then those of the pairs of each lead byte in order.
    std::u16string_view cells;
    /// Pairs (lead << 8 | trail) that are read but never written: the
    /// character they read as is written with another pair.
    std::u16string_view read_only;
};

/// Single-byte pages in ascending order (874, 1250 to 1258), then 932, 936, 949, 950.
inline constexpr std::size_t kCodePageTableCount = 14;
extern const std::array<CodePageTable, kCodePageTableCount> kCodePageTables;

}  // namespace dravonix
