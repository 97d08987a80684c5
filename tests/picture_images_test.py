#!/usr/bin/env python3
"""Panel images in pictures: dravonix-render embeds each sort of BMP panel
image as PNG (or, for one it does not decode, as it is), and what
rsvg-convert draws of the picture is, pixel for pixel, what it draws when the
original bitmap is embedded instead (its bitmap reader, not ours, decodes
that one). A picture with the image in two views holds it once. An image
path the reader cut at a blank gets a note, on the panel it belongs to.

Usage: tests/picture_images_test.py DRAVONIX_RENDER
"""
import base64
import os
import re
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from png_pixels import read_png  # noqa: E402

render = sys.argv[1]
failures = []

W, H = 37, 23  # odd sizes: rows need padding


def colour(x, y):
    return ((x * 7) % 256, (y * 11) % 256, ((x + y) * 5) % 256)


def bmp(bits, header=40, top_down=False, compression=0, masks=None, palette=None, rle=False):
    """A bitmap of W x H pixels whose colours come from colour() (reduced to
    what bits can hold)."""
    rows = []
    for y in range(H):
        row = bytearray()
        acc, nbits = 0, 0
        for x in range(W):
            r, g, b = colour(x, y)
            if bits <= 8:
                index = (x + y) % (1 << bits)
                acc = (acc << bits) | index
                nbits += bits
                if nbits == 8:
                    row.append(acc)
                    acc, nbits = 0, 0
            elif bits == 16:
                value = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3) if not masks else \
                    (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)
                row += struct.pack('<H', value)
            elif bits == 24:
                row += bytes((b, g, r))
            else:
                alpha = 255 if not masks or len(masks) < 4 else (x * 255) // (W - 1)
                row += bytes((b, g, r, alpha))
        if nbits:
            row.append(acc << (8 - nbits))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    if not top_down:
        rows.reverse()
    pixels = b''.join(rows)
    if rle:
        # Two lines of RLE8: a run each, then end of bitmap.
        pixels = bytes([W, 1, 0, 0, W, 2, 0, 1])
    colours = b''
    if bits <= 8:
        entry = 3 if header == 12 else 4
        colours = b''.join(bytes((i * 40 % 256, i * 90 % 256, i * 20 % 256, 0))[:entry]
                           for i in range(palette if palette else 1 << bits))
    mask_bytes = b''.join(struct.pack('<I', m) for m in masks) if masks and header == 40 else b''
    if header == 12:
        dib = struct.pack('<IHHHH', 12, W, H, 1, bits)
    else:
        dib = struct.pack('<IiiHHIIiiII', header, W, -H if top_down else H, 1, bits, compression,
                          len(pixels), 2835, 2835, palette or 0, 0)
        if header > 40:
            extra = b''.join(struct.pack('<I', m) for m in (masks or [])) if masks else b''
            dib += (extra + bytes(header - 40))[:header - 40]
    offset = 14 + len(dib) + len(mask_bytes) + len(colours)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + dib + mask_bytes + \
        colours + pixels


CASES = {
    # name: (bytes, embedded as PNG)
    '24-bit': (bmp(24), True),
    '24-bit top-down': (bmp(24, top_down=True), True),
    '8-bit palette of 200': (bmp(8, palette=200), True),
    '4-bit': (bmp(4), True),
    '1-bit': (bmp(1), True),
    '1-bit, oldest header': (bmp(1, header=12), True),
    '16-bit 5-5-5': (bmp(16), True),
    '16-bit 5-6-5 bit fields': (bmp(16, compression=3, masks=[0xF800, 0x07E0, 0x001F]), True),
    '32-bit': (bmp(32), True),
    '32-bit with alpha, header V5': (bmp(32, header=124, compression=3,
                                         masks=[0xFF0000, 0xFF00, 0xFF, 0xFF000000]), True),
    'RLE8': (bmp(8, compression=1, rle=True), False),
}

with tempfile.TemporaryDirectory() as work:
    for name, (data, as_png) in CASES.items():
        with open(os.path.join(work, 'pic.bmp'), 'wb') as f:
            f.write(data)
        kbd = os.path.join(work, 'pad.kbd')
        with open(kbd, 'w') as f:
            f.write('[KEYDEF]\nBitmap\nxres=1\nnormal jpeg=PIC.BMP\n[SHIFT/CAPS ON]\n'
                    "[0,0,5,5], -1, 1, 65, 0, 'A'\n[/SHIFT/CAPS ON]\n[/KEYDEF]\n")
        svg = os.path.join(work, 'pad.svg')
        subprocess.run([render, kbd, svg], check=True)
        text = open(svg, encoding='utf-8').read()
        uris = re.findall(r'data:(image/[a-z]+);base64,([A-Za-z0-9+/=]+)', text)
        if len(uris) != 1 or text.count('<use ') != 2:
            failures.append(f'{name}: {len(uris)} embedded images, {text.count("<use ")} uses '
                            '(wanted the image once, used by both views)')
            continue
        media_type, encoded = uris[0]
        if media_type != ('image/png' if as_png else 'image/bmp'):
            failures.append(f'{name}: embedded as {media_type}')
            continue
        original = text.replace(f'data:{media_type};base64,{encoded}',
                                'data:image/bmp;base64,' + base64.b64encode(data).decode())
        reference = os.path.join(work, 'reference.svg')
        with open(reference, 'w', encoding='utf-8') as f:
            f.write(original)
        drawn = []
        for picture in (svg, reference):
            png = picture + '.png'
            subprocess.run(['rsvg-convert', picture, '-o', png], check=True)
            drawn.append(open(png, 'rb').read())
        if as_png:
            ours = read_png(svg + '.png')
            theirs = read_png(reference + '.png')
            if ours[:3] != theirs[:3]:
                failures.append(f'{name}: picture sizes differ: {ours[:3]} and {theirs[:3]}')
                continue
            worst = max(abs(a - b) for row_a, row_b in zip(ours[3], theirs[3])
                        for a, b in zip(row_a, row_b))
            # 5-bit channels are widened to 8 bits by rounding here and by
            # repeating bits there: one step apart at most.
            if worst > 1:
                failures.append(f'{name}: pixels differ by up to {worst} from the bitmap drawn')
        print(f'{name}: {media_type}, {len(base64.b64decode(encoded))} bytes for '
              f'{len(data)} of bitmap')

    # The first panel, with a cut path, is dropped (never closed); the
    # second, drawn as panel 1, has its path cut; the third names its image
    # again, whole.
    kbd = os.path.join(work, 'cut.kbd')
    with open(kbd, 'w') as f:
        f.write('[KEYDEF]\nCut\nnormal jpeg=one two.bmp\n'
                '[KEYDEF]\nnormal jpeg=pic one.bmp\npressed jpeg=pic two.bmp\n[/KEYDEF]\n'
                '[KEYDEF]\nnormal jpeg=pic one.bmp\nnormal jpeg=pic.bmp\n[/KEYDEF]\n')
    svg = os.path.join(work, 'cut.svg')
    subprocess.run([render, kbd, svg], check=True)
    notes = re.findall(r'class="note"[^>]*>([^<]*)<', open(svg, encoding='utf-8').read())
    wanted = ['image path cut at a blank: "pic one.bmp" is read as "pic"', 'image not found: pic']
    if notes != wanted:
        failures.append(f'notes of the cut paths: {notes}, wanted {wanted}')

for failure in failures:
    print(f'FAIL: {failure}')
print(f"picture images: {len(CASES)} bitmaps, {len(failures)} failures")
sys.exit(1 if failures else 0)
