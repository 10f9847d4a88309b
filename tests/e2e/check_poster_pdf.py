#!/usr/bin/env python3
"""Checks the tiles of a printed poster of the capture-grid page.

    check_poster_pdf.py poster.pdf BITMAP_W BITMAP_H ACROSS DOWN TILE_W TILE_H

Each pixel of the grid page tells where it is (red = x mod 256, green = y mod
256, blue = x / 256 mod 16 * 16 + y / 256 mod 16). The poster is on A4
portrait with 10 mm margins: a full tile fills the 190 x 277 mm inside the
margins, a tile cut short by the bitmap's edge is drawn at the same scale
from the margins' top left corner. The pages are rendered and sampled at
pixels near every tile's corners and at its middle; each must show the bitmap
pixel the tile geometry puts there, and the paper around the tile is white.
"""
import os
import subprocess
import sys
import tempfile

DPI = 150
PRINTABLE_MM = (190.0, 277.0)
MARGIN_MM = 10.0


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    at = 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    assert fields[0] == b"P6" and fields[3] == b"255", fields
    return int(fields[1]), int(fields[2]), data[at + 1:]


def main():
    pdf = sys.argv[1]
    width, height, across, down, tile_w, tile_h = (int(a) for a in sys.argv[2:8])
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["pdftoppm", "-r", str(DPI), pdf, tmp + "/p"], check=True)
        for page in range(across * down):
            row, col = divmod(page, across)
            names = [f"{tmp}/p-{page + 1}.ppm", f"{tmp}/p-{page + 1:02d}.ppm"]
            path = next((n for n in names if os.path.exists(n)), None)
            if path is None:
                failures.append(f"page {page + 1} is missing")
                continue
            w, h, pixels = read_ppm(path)

            def at_mm(x_mm, y_mm):
                x = int(x_mm / 25.4 * DPI)
                y = int(y_mm / 25.4 * DPI)
                i = (y * w + x) * 3
                return tuple(pixels[i:i + 3])

            x0, y0 = col * tile_w, row * tile_h
            x1, y1 = min(x0 + tile_w, width), min(y0 + tile_h, height)
            scale_x = PRINTABLE_MM[0] / tile_w
            scale_y = PRINTABLE_MM[1] / tile_h
            for bx in (x0 + 2, (x0 + x1) // 2, x1 - 3):
                for by in (y0 + 2, (y0 + y1) // 2, y1 - 3):
                    r, g, b = at_mm(MARGIN_MM + (bx - x0 + 0.5) * scale_x, MARGIN_MM + (by - y0 + 0.5) * scale_y)
                    seen = (r + 256 * (b >> 4), g + 256 * (b & 15))
                    if abs(seen[0] - bx) > 1 or abs(seen[1] - by) > 1:
                        failures.append(f"page {page + 1}: bitmap pixel {bx},{by} expected, {seen} found")
            # White: the margins, and the paper beyond a tile's right and
            # bottom edges.
            right_mm = MARGIN_MM + (x1 - x0) * scale_x
            bottom_mm = MARGIN_MM + (y1 - y0) * scale_y
            blank = [(MARGIN_MM / 2, MARGIN_MM / 2), (MARGIN_MM / 2, bottom_mm / 2), (right_mm / 2, MARGIN_MM / 2),
                     (right_mm + 2, bottom_mm / 2), (right_mm / 2, bottom_mm + 2)]
            for x_mm, y_mm in blank:
                if at_mm(x_mm, y_mm) != (255, 255, 255):
                    failures.append(f"page {page + 1}: {at_mm(x_mm, y_mm)} at {x_mm:.1f},{y_mm:.1f} mm, expected white")
            print(f"page {page + 1}: bitmap {x0},{y0}-{x1},{y1} at {right_mm - MARGIN_MM:.1f} x "
                  f"{bottom_mm - MARGIN_MM:.1f} mm")
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
