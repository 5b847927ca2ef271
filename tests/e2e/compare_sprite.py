#!/usr/bin/python3
"""Checks a screenshot of walkdemo's client area against Player.png.

Usage: compare_sprite.py SCREENSHOT CLIENT_X CLIENT_Y PLAYER_PNG TOLERANCE OUT_PNG

The 640x480 client area at (CLIENT_X, CLIENT_Y) of the screenshot must be
black except for the 50x50 sprite with its top-left at (295, 215) (centre
(320, 240)): the sprite's black pixels stay black and every other pixel
equals Player.png's within TOLERANCE per channel (a 16-bit screen keeps 5
or 6 bits of each). The client area is saved to OUT_PNG. Prints "sprite ok"
or the first difference, and exits with 0 or 1.
"""
import sys

from PIL import Image

WIDTH, HEIGHT = 640, 480
LEFT, TOP = 320 - 25, 240 - 25


def main():
    shot_path, cx, cy, player_path, tolerance, out_path = sys.argv[1:7]
    cx, cy, tolerance = int(cx), int(cy), int(tolerance)
    client = Image.open(shot_path).convert("RGB").crop((cx, cy, cx + WIDTH, cy + HEIGHT))
    client.save(out_path)
    player = Image.open(player_path).convert("RGB")
    seen = client.load()
    sprite = player.load()
    for y in range(HEIGHT):
        for x in range(WIDTH):
            inside = LEFT <= x < LEFT + player.width and TOP <= y < TOP + player.height
            expected = sprite[x - LEFT, y - TOP] if inside else (0, 0, 0)
            if max(abs(a - b) for a, b in zip(seen[x, y], expected)) > tolerance:
                print(f"pixel ({x}, {y}) of the client area is {seen[x, y]}, expected {expected}")
                return 1
    print("sprite ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
