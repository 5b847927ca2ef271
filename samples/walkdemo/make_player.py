#!/usr/bin/env python3
"""Draws walkdemo's sprite: a 50x50 round-headed walker on black, which the
library treats as transparent. Writes an 8-bit RGB PNG with the standard
library only."""
import struct
import sys
import zlib

SIZE = 50
BLACK = (0, 0, 0)
SKIN = (250, 210, 160)
SHIRT = (40, 120, 220)
TROUSERS = (60, 60, 90)
EYE = (20, 20, 20)
SHOE = (150, 70, 30)


def draw():
    pixels = [[BLACK] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(SIZE, y1)):
            for x in range(max(0, x0), min(SIZE, x1)):
                pixels[y][x] = colour

    def disc(cx, cy, r, colour):
        for y in range(SIZE):
            for x in range(SIZE):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    pixels[y][x] = colour

    disc(25, 11, 9, SKIN)            # head
    rect(20, 9, 22, 12, EYE)         # eyes
    rect(28, 9, 30, 12, EYE)
    rect(22, 15, 28, 16, EYE)        # mouth
    rect(15, 21, 35, 36, SHIRT)      # body
    rect(9, 22, 15, 33, SHIRT)       # arms
    rect(35, 22, 41, 33, SHIRT)
    rect(9, 33, 15, 36, SKIN)        # hands
    rect(35, 33, 41, 36, SKIN)
    rect(16, 36, 24, 46, TROUSERS)   # legs
    rect(26, 36, 34, 46, TROUSERS)
    rect(14, 46, 24, 49, SHOE)       # shoes
    rect(26, 46, 36, 49, SHOE)
    return pixels


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(pixels):
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(png(draw()))
