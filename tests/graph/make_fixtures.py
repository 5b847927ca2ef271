#!/usr/bin/python3
"""Makes the image fixtures of the decoder tests and the fuzzers' seed corpus.

Run with Debian's python3 (it has python3-pil):  /usr/bin/python3 tests/graph/make_fixtures.py

Every fixture <name>.<ext> gets <name>.rgba beside it: the expected pixels,
width x height x (R, G, B, A) bytes, top row first. They are computed here,
from the pixels the file was written from, and for every file Pillow can read
they are also checked against Pillow's own decoding, so the expectation never
comes from the library's decoders.

manifest.txt lists, per line: file name, width, height, then the expected
layout of the decoded image (bit depth, red, green, blue and alpha masks in
hex). A channel of fewer than 8 bits is expected as v * 255 / (2^w - 1); of
more than 8 bits as its top 8 bits; an absent alpha as 255; the grey layout
gives its value as red, green, blue and alpha.
"""
import io
import os
import random
import shutil
import struct
import sys
import zlib

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
OUT = os.path.join(HERE, "fixtures")
CORPUS = os.path.join(ROOT, "fuzz", "corpus")

W, H = 13, 5  # odd width: every row of every depth needs padding somewhere
rng = random.Random(20261210)

BGR24 = (24, 0xFF0000, 0xFF00, 0xFF, 0)
BGRA32 = (32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000)
GREY8 = (8, 0xFF, 0xFF, 0xFF, 0xFF)

manifest = []
corpus = {}  # decoder -> list of file names


def random_rgba(n, alpha=True):
    return [(rng.randrange(256), rng.randrange(256), rng.randrange(256),
             rng.randrange(256) if alpha else 255) for _ in range(n)]


def scale(v, width):
    """Channel value of `width` bits as 8 bits, the way the tests read it."""
    if width == 0:
        return 0
    if width >= 8:
        return v >> (width - 8)
    return v * 255 // ((1 << width) - 1)


def save(name, data, width, height, layout, expected, decoder, pil_check=True):
    """Writes the file, its expected pixels and its manifest line."""
    assert len(expected) == width * height
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    base = os.path.splitext(name)[0]
    with open(os.path.join(OUT, base + ".rgba"), "wb") as f:
        f.write(bytes(c for px in expected for c in px))
    if pil_check:
        check_with_pil(name, data, expected, layout)
    manifest.append("%s %d %d %d %x %x %x %x" % ((name, width, height) + layout))
    corpus.setdefault(decoder, []).append(name)


def check_with_pil(name, data, expected, layout):
    """Pillow's decoding must give the same colours (alpha when it has one)."""
    im = Image.open(io.BytesIO(data))
    im.load()
    grey = layout == GREY8
    pil = list(im.convert("L" if grey else "RGBA").getdata())
    for i, (got, want) in enumerate(zip(pil, expected)):
        if grey:
            ok = got == want[0]
        else:
            ok = got[:3] == want[:3] and (layout[4] == 0 or got[3] == want[3])
        if not ok:
            sys.exit("%s: pixel %d: Pillow %r, expected %r" % (name, i, got, want))


# ---- BMP ----------------------------------------------------------------------

def bmp_file(width, height, bits, rows, palette=(), compression=0, masks=None,
             top_down=False, pixel_data=None, header_size=40):
    """rows: the packed pixel bytes of each row, top row first (unpadded)."""
    stride = (bits * width + 31) // 32 * 4
    if pixel_data is None:
        ordered = rows if top_down else rows[::-1]
        pixel_data = b"".join(r + b"\0" * (stride - len(r)) for r in ordered)
    extra = b""
    if masks is not None:
        extra = struct.pack("<3I", *masks)
    table = b"".join(struct.pack("<4B", b, g, r, 0) for (r, g, b) in palette)
    header = struct.pack("<IiiHHIIiiII", header_size, width, -height if top_down else height, 1, bits,
                         compression, len(pixel_data), 2835, 2835, len(palette), 0)
    header += b"\0" * (header_size - 40)
    offset = 14 + len(header) + len(extra) + len(table)
    file_header = b"BM" + struct.pack("<IHHI", offset + len(pixel_data), 0, 0, offset)
    return file_header + header + extra + table + pixel_data


def pack_indices(indices, bits):
    out = bytearray()
    per = 8 // bits
    for i in range(0, len(indices), per):
        v = 0
        for j in range(per):
            v <<= bits
            if i + j < len(indices):
                v |= indices[i + j]
        out.append(v)
    return bytes(out)


def make_bmp():
    for bits in (1, 4, 8):
        colours = 1 << bits
        palette = [tuple(c[:3]) for c in random_rgba(colours)]
        indices = [rng.randrange(colours) for _ in range(W * H)]
        rows = [pack_indices(indices[y * W:(y + 1) * W], bits) for y in range(H)]
        expected = [palette[i] + (255,) for i in indices]
        for top_down in (False, True):
            name = "bmp_%dbit_%s.bmp" % (bits, "topdown" if top_down else "bottomup")
            save(name, bmp_file(W, H, bits, rows, palette, top_down=top_down), W, H, BGR24, expected, "bmp")
    pixels = random_rgba(W * H, alpha=False)
    rows = [b"".join(bytes((b, g, r)) for (r, g, b, a) in pixels[y * W:(y + 1) * W]) for y in range(H)]
    for top_down in (False, True):
        name = "bmp_24bit_%s.bmp" % ("topdown" if top_down else "bottomup")
        save(name, bmp_file(W, H, 24, rows, top_down=top_down), W, H, BGR24, pixels, "bmp")

    # 16 bits: 5:5:5 by default, 5:6:5 through bit fields.
    for name, compression, masks, widths in (("bmp_16bit.bmp", 0, None, (5, 5, 5)),
                                             ("bmp_16bit_bitfields.bmp", 3, (0xF800, 0x07E0, 0x001F), (5, 6, 5))):
        raw = [(rng.randrange(1 << widths[0]), rng.randrange(1 << widths[1]), rng.randrange(1 << widths[2]))
               for _ in range(W * H)]
        shifts = (widths[1] + widths[2], widths[2], 0)
        rows = [b"".join(struct.pack("<H", (r << shifts[0]) | (g << shifts[1]) | b) for (r, g, b) in raw[y * W:(y + 1) * W])
                for y in range(H)]
        expected = [(scale(r, widths[0]), scale(g, widths[1]), scale(b, widths[2]), 255) for (r, g, b) in raw]
        save(name, bmp_file(W, H, 16, rows, compression=compression, masks=masks), W, H, BGR24, expected, "bmp")

    # 32 bits: B, G, R, X by default; bit fields with the channels moved up a byte.
    pixels = random_rgba(W * H)
    rows = [b"".join(bytes((b, g, r, a)) for (r, g, b, a) in pixels[y * W:(y + 1) * W]) for y in range(H)]
    expected = [(r, g, b, 255) for (r, g, b, a) in pixels]
    save("bmp_32bit.bmp", bmp_file(W, H, 32, rows), W, H, BGR24, expected, "bmp")
    rows = [b"".join(struct.pack("<I", (r << 24) | (g << 16) | (b << 8) | a) for (r, g, b, a) in pixels[y * W:(y + 1) * W])
            for y in range(H)]
    save("bmp_32bit_bitfields.bmp", bmp_file(W, H, 32, rows, compression=3, masks=(0xFF000000, 0xFF0000, 0xFF00)),
         W, H, BGR24, expected, "bmp")
    # A version-5 header (124 bytes) with its masks inside.
    v5 = bmp_file(W, H, 32, rows, compression=3, header_size=124)
    v5 = v5[:14 + 40] + struct.pack("<3I", 0xFF000000, 0xFF0000, 0xFF00) + v5[14 + 52:]
    save("bmp_32bit_v5header.bmp", v5, W, H, BGR24, expected, "bmp")

    make_bmp_rle()


def rle_encode(indices, width, height, four, literal=None):
    """Rows bottom-up; runs of equal values, literal stretches, a delta, the end."""
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = indices[y * width:(y + 1) * width]
        x = 0
        while x < width:
            n = 1
            while x + n < width and n < 255 and row[x + n] == row[x]:
                n += 1
            if n >= 2 or width - x < (literal or 3):
                v = row[x] | (row[x] << 4) if four else row[x]
                out += bytes((n, v))
                x += n
                continue
            n = min(width - x, literal or 3 + (x % 2))  # short literal stretches of 3 or 4
            lit = row[x:x + n]
            data = pack_indices(lit, 4) if four else bytes(lit)
            out += bytes((0, n)) + data + (b"\0" if len(data) % 2 else b"")
            x += n
        out += b"\0\0"
    out += b"\0\1"
    return bytes(out)


def make_bmp_rle():
    # Pillow reads odd-length RLE4 literal stretches wrongly: its check is
    # skipped for the file that has them.
    for bits, compression, literal, name in ((8, 1, None, "bmp_rle8.bmp"), (4, 2, 4, "bmp_rle4.bmp"),
                                             (4, 2, 3, "bmp_rle4_odd_literals.bmp")):
        colours = 1 << bits
        palette = [tuple(c[:3]) for c in random_rgba(colours)]
        indices = [rng.randrange(3) if rng.random() < 0.6 else rng.randrange(colours) for _ in range(W * H)]
        data = rle_encode(indices, W, H, bits == 4, literal)
        expected = [palette[i] + (255,) for i in indices]
        save(name, bmp_file(W, H, bits, None, palette, compression=compression, pixel_data=data),
             W, H, BGR24, expected, "bmp", pil_check=literal != 3)
    # A delta that skips pixels and an early end: the skipped ones are black.
    palette = [(0, 0, 0), (200, 10, 20), (5, 250, 6)]
    data = bytes((3, 2, 0, 2, 2, 1, 2, 1, 0, 1))  # bottom row: 3 green; skip 2 right, 1 up; 2 red; end
    expected = [(0, 0, 0, 255)] * (W * H)
    for x in range(3):
        expected[(H - 1) * W + x] = (5, 250, 6, 255)
    for x in range(5, 7):
        expected[(H - 2) * W + x] = (200, 10, 20, 255)
    save("bmp_rle8_delta.bmp", bmp_file(W, H, 8, None, palette + [(0, 0, 0)] * 253, compression=1, pixel_data=data),
         W, H, BGR24, expected, "bmp", pil_check=False)  # Pillow refuses an early end


# ---- JPEG and PNG (written and read back by Pillow) ---------------------------

def make_jpeg():
    im = Image.new("RGB", (W * 2, H * 3))
    im.putdata([tuple(c[:3]) for c in random_rgba(W * 2 * H * 3)])
    for mode, layout, name in (("RGB", BGR24, "jpeg_colour.jpg"), ("L", GREY8, "jpeg_grey.jpg")):
        buf = io.BytesIO()
        im.convert(mode).save(buf, "JPEG", quality=85)
        data = buf.getvalue()
        decoded = Image.open(io.BytesIO(data))
        if mode == "L":
            expected = [(v, v, v, v) for v in decoded.getdata()]
        else:
            expected = [c + (255,) for c in decoded.convert("RGB").getdata()]
        save(name, data, im.width, im.height, layout, expected, "jpeg")


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_file(width, height, depth, colour_type, rows, extra=b"", interlace=0):
    """rows: raw bytes of each row (no filter byte); written with filter 0."""
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace)
    raw = b"".join(b"\0" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra +
            png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def pil_png(im, **options):
    buf = io.BytesIO()
    im.save(buf, "PNG", **options)
    return buf.getvalue()


def make_png():
    rgba = random_rgba(W * H)
    im = Image.new("RGBA", (W, H))
    im.putdata(rgba)
    save("png_rgba.png", pil_png(im), W, H, BGRA32, rgba, "png")
    save("png_rgb.png", pil_png(im.convert("RGB")), W, H, BGR24, [c[:3] + (255,) for c in rgba], "png")
    grey = im.convert("L")
    save("png_grey.png", pil_png(grey), W, H, GREY8, [(v, v, v, v) for v in grey.getdata()], "png")
    # Grey of 1 bit: 0 and 255.
    bw = [rng.randrange(2) for _ in range(W * H)]
    rows = [pack_indices(bw[y * W:(y + 1) * W], 1) for y in range(H)]
    save("png_grey_1bit.png", png_file(W, H, 1, 0, rows), W, H, GREY8, [(v * 255,) * 4 for v in bw], "png")
    # Palette without and with transparency.
    palette = [tuple(c[:3]) for c in random_rgba(16)]
    indices = [rng.randrange(16) for _ in range(W * H)]
    p = Image.new("P", (W, H))
    p.putpalette([v for c in palette for v in c])
    p.putdata(indices)
    save("png_palette.png", pil_png(p), W, H, BGR24, [palette[i] + (255,) for i in indices], "png")
    alphas = [rng.randrange(256) for _ in range(16)]
    save("png_palette_trns.png", pil_png(p, transparency=bytes(alphas)), W, H, BGRA32,
         [palette[i] + (alphas[i],) for i in indices], "png")
    # 16 bits per channel: the high byte is kept.
    wide = [[rng.randrange(65536) for _ in range(4)] for _ in range(W * H)]
    rows = [b"".join(struct.pack(">4H", *px) for px in wide[y * W:(y + 1) * W]) for y in range(H)]
    save("png_rgba_16bit.png", png_file(W, H, 16, 6, rows), W, H, BGRA32, [tuple(v >> 8 for v in px) for px in wide], "png")
    rows = [b"".join(struct.pack(">3H", *px[:3]) for px in wide[y * W:(y + 1) * W]) for y in range(H)]
    save("png_rgb_16bit.png", png_file(W, H, 16, 2, rows), W, H, BGR24,
         [tuple(v >> 8 for v in px[:3]) + (255,) for px in wide], "png")
    rows = [b"".join(struct.pack(">H", px[0]) for px in wide[y * W:(y + 1) * W]) for y in range(H)]
    data = png_file(W, H, 16, 0, rows)
    assert [v >> 8 for v in Image.open(io.BytesIO(data)).getdata()] == [px[0] >> 8 for px in wide]
    save("png_grey_16bit.png", data, W, H, GREY8, [(px[0] >> 8,) * 4 for px in wide], "png", pil_check=False)
    # Grey with an alpha channel, and grey with a transparent value: both
    # widened to four channels.
    ga = [(rng.randrange(256), rng.randrange(256)) for _ in range(W * H)]
    rows = [b"".join(bytes(px) for px in ga[y * W:(y + 1) * W]) for y in range(H)]
    save("png_grey_alpha.png", png_file(W, H, 8, 4, rows), W, H, BGRA32, [(g, g, g, a) for (g, a) in ga], "png")
    greys = [rng.choice((0, 7, 99, 200)) for _ in range(W * H)]
    rows = [bytes(greys[y * W:(y + 1) * W]) for y in range(H)]
    save("png_grey_trns.png", png_file(W, H, 8, 0, rows, extra=png_chunk(b"tRNS", struct.pack(">H", 99))),
         W, H, BGRA32, [(g, g, g, 0 if g == 99 else 255) for g in greys], "png")
    # Interlaced RGB.
    save("png_rgb_interlaced.png", png_interlaced(rgba), W, H, BGR24, [c[:3] + (255,) for c in rgba], "png")


def png_interlaced(rgba):
    """An Adam7 RGB file written here (Pillow does not write interlaced PNG)."""
    passes = ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2))
    raw = b""
    for (x0, y0, dx, dy) in passes:
        for y in range(y0, H, dy):
            xs = range(x0, W, dx)
            if not xs:
                continue
            raw += b"\0" + b"".join(bytes(rgba[y * W + x][:3]) for x in xs)
    ihdr = struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 1)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", zlib.compress(raw, 9)) +
            png_chunk(b"IEND", b""))


# ---- BGRA (the library's raw format) ------------------------------------------

def make_bgra():
    rgba = random_rgba(W * H)
    body = b"".join(bytes((b, g, r, a)) for (r, g, b, a) in rgba)
    save("bgra_8bit.bgra", b"BGRA" + struct.pack("<III", 0x08080808, W, H) + body, W, H, BGRA32, rgba, "bgra",
         pil_check=False)
    wide = [[rng.randrange(65536) for _ in range(4)] for _ in range(W * H)]  # B, G, R, A
    body = b"".join(struct.pack("<4H", *px) for px in wide)
    expected = [(px[2] >> 8, px[1] >> 8, px[0] >> 8, px[3] >> 8) for px in wide]
    save("bgra_16bit.bgra", b"BGRA" + struct.pack("<III", 0x10101010, W, H) + body, W, H, BGRA32, expected, "bgra",
         pil_check=False)


# ---- TGA -----------------------------------------------------------------------

def tga_footer(alpha_attribute):
    """alpha_attribute None: footer without extension area."""
    if alpha_attribute is None:
        return None
    area = bytearray(495)
    struct.pack_into("<H", area, 0, 495)
    area[494] = alpha_attribute
    return bytes(area)


def tga_file(header_fields, body, alpha_attribute=-1):
    """alpha_attribute: -1 no footer, None footer without extension, else the attribute type."""
    data = struct.pack("<BBBHHBHHHHBB", *header_fields) + body
    if alpha_attribute == -1:
        return data
    area = tga_footer(alpha_attribute)
    ext_offset = 0
    if area is not None:
        ext_offset = len(data)
        data += area
    return data + struct.pack("<II", ext_offset, 0) + b"TRUEVISION-XFILE.\0"


def tga_rle(pixels, pb):
    """Run-length packets over the pixel byte strings, across row ends."""
    out = bytearray()
    i = 0
    while i < len(pixels):
        n = 1
        while i + n < len(pixels) and n < 128 and pixels[i + n] == pixels[i]:
            n += 1
        if n >= 2:
            out.append(0x80 | (n - 1))
            out += pixels[i]
            i += n
            continue
        n = 1
        while i + n < len(pixels) and n < 128 and pixels[i + n] != pixels[i + n - 1]:
            n += 1
        out.append(n - 1)
        out += b"".join(pixels[i:i + n])
        i += n
    return bytes(out)


def tga_pixel(px, depth, alpha_bit):
    r, g, b, a = px
    if depth == 16:
        return struct.pack("<H", (0x8000 if (alpha_bit and a >= 128) else 0) | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
    if depth == 24:
        return bytes((b, g, r))
    return bytes((b, g, r, a))


def tga_expected(px, depth, mode):
    r, g, b, a = px
    if depth == 16:
        rgb = (scale(r >> 3, 5), scale(g >> 3, 5), scale(b >> 3, 5))
        return rgb + ((255 if a >= 128 else 0) if mode == 3 else 255,)
    return (r, g, b, a if depth == 32 and mode != 0 else 255)


def tga_layout(depth, mode):
    if depth == 16:
        return (16, 0x7C00, 0x3E0, 0x1F, 0x8000 if mode == 3 else 0)
    if depth == 24:
        return BGR24
    return (32, 0xFF0000, 0xFF00, 0xFF, 0 if mode == 0 else 0xFF000000)


def make_tga():
    # (image type, depth, descriptor orientation bits, footer) across the variants.
    variants = [
        (2, 24, 0x00, -1), (2, 24, 0x20, -1), (2, 24, 0x10, -1), (2, 24, 0x30, -1),
        (2, 32, 0x20, -1), (2, 32, 0x00, 3), (2, 32, 0x20, 0), (2, 32, 0x20, None),
        (2, 16, 0x20, -1), (2, 16, 0x00, 3),
        (10, 24, 0x00, -1), (10, 32, 0x20, 3), (10, 16, 0x10, 0), (10, 32, 0x30, None),
        (1, 24, 0x00, -1), (1, 32, 0x20, 3), (1, 16, 0x30, -1),
        (9, 24, 0x20, -1), (9, 32, 0x00, 0), (9, 16, 0x10, 3),
    ]
    for (kind, depth, orient, footer) in variants:
        mode = {-1: 1, None: 1, 3: 3, 0: 0}[footer]
        mapped = kind in (1, 9)
        colours = random_rgba(40)
        pixels = [rng.choice(colours[:3]) if rng.random() < 0.5 else rng.choice(colours) for _ in range(W * H)]
        # File order from the orientation bits.
        order = []
        for fy in range(H):
            y = fy if orient & 0x20 else H - 1 - fy
            for fx in range(W):
                x = W - 1 - fx if orient & 0x10 else fx
                order.append(pixels[y * W + x])
        alpha_bit = mode == 3
        if mapped:
            first = 5
            cmap = b"".join(tga_pixel(c, depth, alpha_bit) for c in colours)
            file_pixels = [bytes((first + colours.index(px),)) for px in order]
            fields = (0, 1, kind, first, len(colours), depth, 0, 0, W, H, 8, orient | (1 if alpha_bit and depth == 16 else 8 if depth == 32 else 0))
        else:
            cmap = b""
            file_pixels = [tga_pixel(px, depth, alpha_bit) for px in order]
            fields = (0, 0, kind, 0, 0, 0, 0, 0, W, H, depth, orient | (8 if depth == 32 else 0))
        body = cmap + (tga_rle(file_pixels, len(file_pixels[0])) if kind >= 9 else b"".join(file_pixels))
        name = "tga_t%d_%d_o%02x_%s.tga" % (kind, depth, orient, {-1: "nofooter", None: "noext", 3: "alpha", 0: "noalpha"}[footer])
        expected = [tga_expected(px, depth, mode) for px in pixels]
        save(name, tga_file(fields, body, footer), W, H, tga_layout(depth, mode), expected, "tga", pil_check=False)
    # Widest accepted: 4095 pixels in run-length packets.
    row = [(10, 20, 30, 255)] * 4095
    body = tga_rle([bytes((30, 20, 10))] * 4095, 3)
    save("tga_width4095.tga", tga_file((0, 0, 10, 0, 0, 0, 0, 0, 4095, 1, 24, 0x20), body), 4095, 1, BGR24, row, "tga",
         pil_check=False)


def make_refused():
    """Files that must not decode; the tests list them by name."""
    ok_body = bytes(W * H * 3)
    refused = {
        "refused_tga_image_id.tga": struct.pack("<BBBHHBHHHHBB", 3, 0, 2, 0, 0, 0, 0, 0, W, H, 24, 0x20) + b"abc" + ok_body,
        "refused_tga_origin.tga": struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 1, 0, W, H, 24, 0x20) + ok_body,
        "refused_tga_width4096.tga": struct.pack("<BBBHHBHHHHBB", 0, 0, 10, 0, 0, 0, 0, 0, 4096, 1, 24, 0x20) +
        tga_rle([bytes(3)] * 4096, 3),
        "refused_dds_dxt1.dds": dds_file(8, 8, 0x4, fourcc=b"DXT1", body=bytes(32)),
    }
    for name, data in refused.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


# ---- DDS -----------------------------------------------------------------------

def dds_file(width, height, pf_flags, fourcc=b"\0\0\0\0", bits=0, masks=(0, 0, 0, 0), body=b"", pitch=None):
    flags = 0x1 | 0x2 | 0x4 | 0x1000 | (0x8 if pitch is not None else 0)
    pf = struct.pack("<II4sI4I", 32, pf_flags, fourcc if isinstance(fourcc, bytes) else struct.pack("<I", fourcc),
                     bits, *masks)
    desc = struct.pack("<7I", 124, flags, height, width, pitch or 0, 0, 0) + b"\0" * 44 + pf + struct.pack("<4I", 0x1000, 0, 0, 0) + b"\0" * 4
    assert len(desc) == 124
    return b"DDS " + desc + body


FOURCC_TABLE = {
    20: (24, 0xFF0000, 0xFF00, 0xFF, 0), 21: (32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
    22: (32, 0xFF0000, 0xFF00, 0xFF, 0), 23: (16, 0xF800, 0x07E0, 0x001F, 0),
    24: (16, 0x7C00, 0x03E0, 0x001F, 0), 25: (16, 0x7C00, 0x03E0, 0x001F, 0x8000),
    26: (16, 0x0F00, 0x00F0, 0x000F, 0xF000), 27: (8, 0xE0, 0x1C, 0x03, 0),
    29: (16, 0xE0, 0x1C, 0x03, 0xFF00), 30: (16, 0x0F00, 0x00F0, 0x000F, 0),
    31: (32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000), 32: (32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000),
    33: (32, 0xFF, 0xFF00, 0xFF0000, 0), 35: (32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000),
}


def channel(value, mask):
    if mask == 0:
        return 0, 0
    shift = (mask & -mask).bit_length() - 1
    width = bin(mask).count("1")
    return (value & mask) >> shift, width


def dds_expected(value, layout):
    bits, rm, gm, bm, am = layout
    out = [scale(*channel(value, m)) for m in (rm, gm, bm)]
    av, aw = channel(value, am)
    out.append(scale(av, aw) if aw else 255)
    return tuple(out)


def make_dds():
    def one(name, layout, pf_flags, fourcc=b"\0\0\0\0", with_pitch=False):
        bits = layout[0]
        nbytes = bits // 8
        values = [rng.randrange(1 << bits) for _ in range(W * H)]
        used = layout[1] | layout[2] | layout[3] | layout[4]
        pitch = W * nbytes + (4 if with_pitch else 0)
        body = b""
        for y in range(H):
            row = b"".join(v.to_bytes(nbytes, "little") for v in values[y * W:(y + 1) * W])
            body += row + b"\xAB" * (pitch - len(row))
        expected = [dds_expected(v & used if used else v, layout) for v in values]
        header_bits = 0 if pf_flags == 0x4 else bits
        save(name, dds_file(W, H, pf_flags, fourcc, header_bits, layout[1:] if pf_flags != 0x4 else (0, 0, 0, 0), body,
                            pitch if with_pitch else None), W, H, layout, expected, "dds", pil_check=False)

    one("dds_rgb_24.dds", BGR24, 0x40)
    one("dds_argb_32.dds", BGRA32, 0x41, with_pitch=True)
    one("dds_rgb_565.dds", (16, 0xF800, 0x07E0, 0x001F, 0), 0x40)
    for code, layout in sorted(FOURCC_TABLE.items()):
        one("dds_fourcc_%d.dds" % code, layout, 0x4, struct.pack("<I", code), with_pitch=(code % 2 == 0))


def main():
    if os.path.isdir(OUT):
        shutil.rmtree(OUT)
    os.makedirs(OUT)
    make_bmp()
    make_jpeg()
    make_png()
    make_bgra()
    make_tga()
    make_dds()
    make_refused()
    with open(os.path.join(OUT, "manifest.txt"), "w") as f:
        f.write("\n".join(manifest) + "\n")
    # Seed corpus: every fixture for its own decoder, and a few pairs.
    for decoder, names in corpus.items():
        folder = os.path.join(CORPUS, decoder)
        if os.path.isdir(folder):
            shutil.rmtree(folder)
        os.makedirs(folder)
        for name in names:
            if os.path.getsize(os.path.join(OUT, name)) <= 4096:
                shutil.copy(os.path.join(OUT, name), folder)
    make_pair_corpus()
    print("%d fixtures" % len(manifest))


def make_pair_corpus():
    """Pair inputs: 4-byte little-endian size of the main image, the main image, the alpha image."""
    folder = os.path.join(CORPUS, "pair")
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    pairs = [("png_rgb.png", "png_grey.png"), ("bmp_24bit_bottomup.bmp", "bmp_8bit_topdown.bmp"),
             ("tga_t2_24_o00_nofooter.tga", "png_grey_1bit.png"), ("jpeg_colour.jpg", "")]
    for i, (main_name, alpha_name) in enumerate(pairs):
        main_data = open(os.path.join(OUT, main_name), "rb").read()
        alpha_data = open(os.path.join(OUT, alpha_name), "rb").read() if alpha_name else b""
        with open(os.path.join(folder, "pair%d" % i), "wb") as f:
            f.write(struct.pack("<I", len(main_data)) + main_data + alpha_data)


if __name__ == "__main__":
    main()
