#!/usr/bin/env python3
"""Prints the colour of pixels of a PNG file, with the standard library only.

    png_pixels.py FILE size          prints "WIDTH HEIGHT"
    png_pixels.py FILE X Y [X Y...]  prints "R G B" for each pixel, one a line

Reads 8-bit RGB and RGBA images without interlacing (what rsvg-convert
writes); an alpha channel is composed over white.
"""
import struct
import sys
import zlib


def read_size(path):
    header = open(path, "rb").read(24)
    return struct.unpack(">II", header[16:24])


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    at, chunks, header = 8, [], None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit(f"{path}: depth {depth}, colour type {colour}, interlace {interlace} not read")
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(b"".join(chunks))
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                guess = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + guess) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def main():
    if sys.argv[2:] == ["size"]:
        print(*read_size(sys.argv[1]))
        return
    width, height, channels, rows = read_png(sys.argv[1])
    numbers = [int(round(float(n))) for n in sys.argv[2:]]
    for x, y in zip(numbers[0::2], numbers[1::2]):
        if not (0 <= x < width and 0 <= y < height):
            print("outside")
            continue
        pixel = rows[y][x * channels:(x + 1) * channels]
        alpha = pixel[3] if channels == 4 else 255
        print(*(round((c * alpha + 255 * (255 - alpha)) / 255) for c in pixel[:3]))


if __name__ == "__main__":
    main()
