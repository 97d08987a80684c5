#!/usr/bin/python3
"""Generates platform/code_page_tables.cpp, the byte tables of the supported
code pages, which the Linux and the Windows build share:

    /usr/bin/python3 scripts/code_page_tables.py

The source is the C library's own converter (glibc's iconv, called through
ctypes): its CP874, CP1250 to CP1258, CP932, CP936, CP949 and CP950 follow the
Windows code pages, including the later additions (the euro sign at 0x80 of
936, U+05BA at 0xCA of 1255, the private-use fillers of 874, 1253, 1255 and
1257, the user-defined rows of 932) and the characters Windows writes for the
duplicates of 932. It is kept up to date with the C library every Linux
machine has, and nothing else is needed to run this script.

Where Windows maps more bytes than glibc, the table adds them from the rules
below (SUPPLEMENTS), each of which the tests check against the platform
itself (platform/code_page_windows_test.cpp under Wine) and against glibc
(platform/code_page_iconv_test.cpp), so that every other difference fails.

Table format (one stream of 16-bit units per code page): first the
characters of the bytes 0x80 to 0xFF (U+FFFD for a lead byte), then, for a
double-byte page, for each lead byte in order, the characters of the pairs
with each second byte from TRAIL_FIRST to TRAIL_LAST (U+FFFD where the pair
is no character). Runs are packed: a unit 0xD800 + n stands for n + 1 cells
that each count one up from the cell before, 0xDC00 + n for n + 1 cells of
U+FFFD. Every other unit is the character of one cell (no table maps a byte
to a surrogate or to U+FFFD).
"""

import ctypes
import ctypes.util
import os
import sys

SINGLE_BYTE = [874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258]
DOUBLE_BYTE = [932, 936, 949, 950]

# The lead bytes of each double-byte page: a lead byte never stands alone.
LEAD_BYTES = {
    932: list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)),
    936: list(range(0x81, 0xFF)),
    949: list(range(0x81, 0xFF)),
    950: list(range(0x81, 0xFF)),
}


def user_defined_rows(first_lead, last_lead, trails, first_code_point):
    """Maps the pairs of the leads from first_lead to last_lead with the given
    second bytes, in byte order, to consecutive private-use characters."""
    cells = {}
    code_point = first_code_point
    for lead in range(first_lead, last_lead + 1):
        for trail in trails:
            cells[(lead << 8) | trail] = code_point
            code_point += 1
    return cells


BIG5_TRAILS = list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))
GBK_USER_TRAILS = list(range(0x40, 0x7F)) + list(range(0x80, 0xA1))
ROW_TRAILS = list(range(0xA1, 0xFF))


def supplements_936(decoded):
    """The user-defined areas of 936, then the cells that rows 0xA2 to 0xA9
    and 0xD7 and the second bytes 0x50 to 0xA0 of row 0xFE leave empty, all
    in byte order, take the private-use characters from U+E000 on, as
    Windows maps them."""
    cells = {}
    cells.update(user_defined_rows(0xAA, 0xAF, ROW_TRAILS, 0xE000))
    cells.update(user_defined_rows(0xF8, 0xFE, ROW_TRAILS, 0xE234))
    cells.update(user_defined_rows(0xA1, 0xA7, GBK_USER_TRAILS, 0xE4C6))
    code_point = 0xE766
    all_trails = list(range(0x40, 0xFF))
    empty_rows = [(lead, all_trails) for lead in range(0xA2, 0xAA)]
    empty_rows += [(0xD7, all_trails), (0xFE, list(range(0x50, 0xA1)))]
    for lead, trails in empty_rows:
        for trail in trails:
            pair = (lead << 8) | trail
            if pair in decoded or pair in cells or trail == 0x7F:
                continue
            cells[pair] = code_point
            code_point += 1
    return cells


# What Windows maps that glibc does not: (code page, what, why, cells), the
# cells a dictionary from the byte or pair (lead << 8 | trail) to a character.
def fillers(first_code_point, *byte_list):
    """Consecutive private-use characters for bytes that are no character."""
    return {byte: first_code_point + i for i, byte in enumerate(byte_list)}


# What Windows maps that glibc does not: (code page, what, why, cells), the
# cells a dictionary from the byte or pair (lead << 8 | trail) to a character,
# or a function of the cells read so far that returns one. Single bytes that
# are no character get the character Windows gives them (a C1 control, a
# private-use filler), so every single byte survives a round trip.
SUPPLEMENTS = [
    (page, "undefined bytes 0x80-0x9F", "Windows maps each to the C1 control of its number", None)
    for page in SINGLE_BYTE
] + [
    (874, "undefined bytes 0xDB-0xDE, 0xFC-0xFF", "Windows' private-use fillers",
     fillers(0xF8C1, 0xDB, 0xDC, 0xDD, 0xDE, 0xFC, 0xFD, 0xFE, 0xFF)),
    (1253, "undefined bytes 0xAA, 0xD2, 0xFF", "Windows' private-use fillers",
     fillers(0xF8F9, 0xAA, 0xD2, 0xFF)),
    (1255, "undefined bytes 0xD9-0xDF, 0xFB, 0xFC, 0xFF", "Windows' private-use fillers",
     fillers(0xF88D, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF)),
    (1255, "byte 0xCA", "Windows has since given it U+05BA (Hebrew point holam haser for vav)",
     {0xCA: 0x05BA}),
    (1257, "undefined bytes 0xA1, 0xA5", "Windows' private-use fillers",
     fillers(0xF8FC, 0xA1, 0xA5)),
    (932, "single bytes 0x80, 0xA0, 0xFD-0xFF", "Windows' U+0080 and private-use fillers",
     {0x80: 0x80, **fillers(0xF8F0, 0xA0, 0xFD, 0xFE, 0xFF)}),
    (936, "single byte 0xFF", "Windows' private-use filler", fillers(0xF8F5, 0xFF)),
    (949, "single bytes 0x80, 0xFF", "Windows' U+0080 and private-use filler",
     {0x80: 0x80, **fillers(0xF8F7, 0xFF)}),
    (950, "single byte 0xFF", "Windows' private-use filler", fillers(0xF8F8, 0xFF)),
    (936, "user-defined areas and empty symbol cells", "Windows maps them to private use",
     supplements_936),
    (949, "user-defined rows 0xC9, 0xFE", "Windows maps them to private use",
     lambda decoded: {**user_defined_rows(0xC9, 0xC9, ROW_TRAILS, 0xE000),
                      **user_defined_rows(0xFE, 0xFE, ROW_TRAILS, 0xE05E)}),
    (950, "user-defined rows 0x81-0xA0, 0xFA-0xFE", "Windows maps them to private use",
     lambda decoded: {**user_defined_rows(0xFA, 0xFE, BIG5_TRAILS, 0xE000),
                      **user_defined_rows(0x8E, 0xA0, BIG5_TRAILS, 0xE311),
                      **user_defined_rows(0x81, 0x8D, BIG5_TRAILS, 0xEEB8)}),
]

# Characters that two byte sequences stand for: the one Windows writes where
# glibc writes the other.
PREFERRED = {
    950: {0x2550: 0xF9F9, 0x255E: 0xF9E9, 0x2561: 0xF9EB, 0x256A: 0xF9EA},
}


class Iconv:
    """One conversion of glibc's iconv."""

    def __init__(self, to_code, from_code):
        libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        libc.iconv_open.restype = ctypes.c_void_p
        libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        libc.iconv.restype = ctypes.c_size_t
        pointer = ctypes.POINTER(ctypes.c_char_p)
        size = ctypes.POINTER(ctypes.c_size_t)
        libc.iconv.argtypes = [ctypes.c_void_p, pointer, size, pointer, size]
        self.libc = libc
        self.handle = libc.iconv_open(to_code.encode(), from_code.encode())
        if self.handle in (None, ctypes.c_void_p(-1).value):
            sys.exit(f"code_page_tables.py: glibc's iconv cannot convert {from_code} to {to_code}")

    def __call__(self, data):
        """The whole conversion of data, or None when iconv refuses a byte."""
        failed = ctypes.c_size_t(-1).value
        self.libc.iconv(self.handle, None, None, None, None)
        source = ctypes.create_string_buffer(data, len(data))
        target = ctypes.create_string_buffer(64)
        source_at = ctypes.c_char_p(ctypes.addressof(source))
        target_at = ctypes.c_char_p(ctypes.addressof(target))
        source_left, target_left = ctypes.c_size_t(len(data)), ctypes.c_size_t(64)
        if self.libc.iconv(self.handle, ctypes.byref(source_at), ctypes.byref(source_left),
                           ctypes.byref(target_at), ctypes.byref(target_left)) == failed:
            return None
        if self.libc.iconv(self.handle, None, None, ctypes.byref(target_at),
                           ctypes.byref(target_left)) == failed or source_left.value:
            return None
        return target.raw[:64 - target_left.value]


def one_character(decode, data):
    """The one BMP character glibc reads data as, or None."""
    text = decode(data)
    if text is None or len(text) != 2:
        return None
    code_point = int.from_bytes(text, "little")
    return None if 0xD800 <= code_point <= 0xDFFF else code_point


def build_page(page):
    """The cells of a code page: {byte or pair: character}, and the pairs
    that are read but never written."""
    decode = Iconv("UTF-16LE", f"CP{page}")
    encode = Iconv(f"CP{page}", "UTF-16LE")
    leads = LEAD_BYTES.get(page, [])
    cells = {}
    for byte in range(0x80, 0x100):
        if byte not in leads:
            character = one_character(decode, bytes([byte]))
            if character is not None:
                cells[byte] = character
    for lead in leads:
        for trail in range(0x100):
            character = one_character(decode, bytes([lead, trail]))
            if character is not None:
                cells[(lead << 8) | trail] = character
    for supplement_page, _, _, rule in SUPPLEMENTS:
        if supplement_page != page:
            continue
        if rule is None:
            added = {byte: byte for byte in range(0x80, 0xA0) if byte not in cells}
        elif callable(rule):
            added = rule(cells)
        else:
            added = rule
        for key, character in added.items():
            if key in cells:
                sys.exit(f"code_page_tables.py: {page}: {key:X} is already mapped")
            cells[key] = character
    for byte in range(0x80, 0x100):
        if byte not in leads and byte not in cells:
            sys.exit(f"code_page_tables.py: {page}: byte {byte:02X} has no character")

    # Of several sequences of one character, the one glibc writes (or
    # Windows, where PREFERRED says so) is written; the others are read only.
    sequences = {}
    for key in sorted(cells):
        sequences.setdefault(cells[key], []).append(key)
    read_only = []
    for character, keys in sequences.items():
        if len(keys) == 1:
            continue
        preferred = PREFERRED.get(page, {}).get(character)
        if preferred is None:
            written = encode(chr(character).encode("utf-16le"))
            preferred = int.from_bytes(written, "big") if written else None
        if preferred not in keys:
            sys.exit(f"code_page_tables.py: {page}: U+{character:04X} has no preferred sequence")
        read_only += [key for key in keys if key != preferred]
    return cells, sorted(read_only)


def pack(cells, leads):
    """The packed stream of a page (see the module's comment), its trail range."""
    trails = [key & 0xFF for key in cells if key > 0xFF]
    trail_first, trail_last = (min(trails), max(trails)) if trails else (0, 0)
    flat = [cells.get(byte, 0xFFFD) for byte in range(0x80, 0x100)]
    for lead in leads:
        flat += [cells.get((lead << 8) | trail, 0xFFFD)
                 for trail in range(trail_first, trail_last + 1)]
    for character in flat:
        assert character == 0xFFFD or not 0xD800 <= character <= 0xDFFF
    stream = []
    i = 0
    while i < len(flat):
        run = 1
        if flat[i] == 0xFFFD:
            while i + run < len(flat) and flat[i + run] == 0xFFFD and run < 1024:
                run += 1
            stream.append(0xDC00 + run - 1)
        else:
            stream.append(flat[i])
            while (i + run < len(flat) and flat[i + run] == flat[i] + run and run <= 1024):
                run += 1
            if run > 1:
                stream.append(0xD800 + run - 2)
        i += run
    assert unpack(stream) == flat
    return stream, trail_first, trail_last


def unpack(stream):
    """The cells of a packed stream, as the C++ code reads it."""
    flat = []
    for unit in stream:
        if 0xD800 <= unit < 0xDC00:
            flat += [flat[-1] + k + 1 for k in range(unit - 0xD800 + 1)]
        elif 0xDC00 <= unit < 0xE000:
            flat += [0xFFFD] * (unit - 0xDC00 + 1)
        else:
            flat.append(unit)
    return flat


def hex_lines(values, per_line=12):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(f"0x{v:04X}" for v in values[i:i + per_line]) + ",")
    return "\n".join(lines)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = [
        "// Generated by scripts/code_page_tables.py from glibc's iconv and the",
        "// platform's additions the script names; do not edit. The format is",
        "// described there and in platform/code_page_tables.h.",
        '#include "platform/code_page_tables.h"',
        "",
        "namespace dravonix {",
        "",
        "namespace {",
        "",
    ]
    entries = []
    total = 0
    for page in SINGLE_BYTE + DOUBLE_BYTE:
        cells, read_only = build_page(page)
        stream, trail_first, trail_last = pack(cells, LEAD_BYTES.get(page, []))
        total += 2 * (len(stream) + len(read_only))
        out.append(f"constexpr char16_t kCells{page}[] = {{")
        out.append(hex_lines(stream))
        out.append("};")
        if read_only:
            out.append(f"constexpr char16_t kReadOnly{page}[] = {{")
            out.append(hex_lines(read_only))
            out.append("};")
            read_only_view = f"{{kReadOnly{page}, std::size(kReadOnly{page})}}"
        else:
            read_only_view = "{}"
        out.append("")
        entries.append(f"    {{{page}, 0x{trail_first:02X}, 0x{trail_last:02X}, "
                       f"{{kCells{page}, std::size(kCells{page})}}, {read_only_view}}},")
    out += ["}  // namespace", "",
            "const std::array<CodePageTable, kCodePageTableCount> kCodePageTables = {{"]
    out += entries
    out += ["}};", "", "}  // namespace dravonix", ""]
    path = os.path.join(root, "platform", "code_page_tables.cpp")
    with open(path, "w", encoding="ascii") as file:
        file.write("\n".join(out))
    print(f"code_page_tables.py: wrote {os.path.relpath(path, root)} ({total} bytes of tables)")


if __name__ == "__main__":
    main()
