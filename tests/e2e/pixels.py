#!/usr/bin/env python3
"""Pixel checks on screenshots of the window, for the end-to-end test.

Screenshots are binary PPM (P6) files, as `import -window root ppm:FILE` writes them;
PNG files (such as stelvo-cli's frames) are read through ImageMagick's `convert`.

  pixels.py menubar SHOT X
      The height of the menu bar: the first row at column X where the top strip's
      colour begins and holds for the strip's 170 rows. Exit 1 when there is none.
  pixels.py region SHOT X Y W H
      A digest of the pixels of a rectangle, to tell whether it changed.
  pixels.py sun SHOT CX CY
      Checks that the Sun's yellow disc is centred on pixel (CX, CY). Exit 1 if not.
  pixels.py marks IMAGE X Y W H
      The number of particle-coloured pixels (pure black or pure red) in a rectangle.
"""

import hashlib
import subprocess
import sys

STRIP = (189, 184, 172)
STRIP_HEIGHT = 170
YELLOW = (255, 255, 0)
BLACK = (0, 0, 0)
RED = (255, 0, 0)


class Image:
    def __init__(self, path):
        if path.endswith(".ppm"):
            with open(path, "rb") as f:
                data = f.read()
        else:
            data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                                  stdout=subprocess.PIPE).stdout
        # Header: P6, width, height, maxval, each after whitespace; comments are not written.
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        pos += 1
        maxval = int(fields[3])
        if fields[0] != b"P6" or maxval not in (255, 65535):
            sys.exit(f"{path}: not a binary PPM of 8 or 16 bits")
        self.width, self.height = int(fields[1]), int(fields[2])
        samples = 3 * self.width * self.height
        if maxval == 255:
            self.pixels = data[pos:pos + samples]
        else:  # 16-bit samples, most significant byte first: keep that byte
            self.pixels = data[pos:pos + 2 * samples:2]

    def at(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return None
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def rect(self, x, y, w, h):
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        for yy in range(y0, y1):
            row = 3 * yy * self.width
            yield yy, self.pixels[row + 3 * x0:row + 3 * x1], x0


def menubar(image, x):
    for y in range(0, image.height - STRIP_HEIGHT):
        if all(image.at(x, y + k) == STRIP for k in range(STRIP_HEIGHT)):
            return y
    return None


def main(argv):
    command, path, args = argv[1], argv[2], [int(a) for a in argv[3:]]
    image = Image(path)
    if command == "menubar":
        top = menubar(image, args[0])
        if top is None:
            print("no top strip found")
            return 1
        print(top)
    elif command == "region":
        digest = hashlib.sha1()
        for _, row, _ in image.rect(*args):
            digest.update(row)
        print(digest.hexdigest())
    elif command == "sun":
        cx, cy = args
        found = [(x, y) for y in range(cy - 30, cy + 30) for x in range(cx - 30, cx + 30)
                 if image.at(x, y) == YELLOW]
        # A disc inscribed in its 20 x 20 box inside a 1-pixel black outline.
        if not 150 <= len(found) <= 400:
            print(f"{len(found)} yellow pixels near ({cx}, {cy}), expected a disc of about 250")
            return 1
        xs = [p[0] for p in found]
        ys = [p[1] for p in found]
        mid_x = (min(xs) + max(xs) + 1) / 2
        mid_y = (min(ys) + max(ys) + 1) / 2
        if abs(mid_x - cx) > 1.5 or abs(mid_y - cy) > 1.5:
            print(f"yellow disc centred at ({mid_x}, {mid_y}), expected ({cx}, {cy})")
            return 1
        print(f"yellow disc of {len(found)} pixels centred at ({mid_x}, {mid_y})")
    elif command == "marks":
        count = 0
        for _, row, _ in image.rect(*args):
            for i in range(0, len(row), 3):
                pixel = tuple(row[i:i + 3])
                if pixel == BLACK or pixel == RED:
                    count += 1
        print(count)
    else:
        sys.exit(f"unknown command {command}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
