#!/usr/bin/env python3
"""Compares an image file with the capture-grid page, pixel for pixel.

    check_grid_image.py FILE WIDTH HEIGHT [--lossy]

The grid page colours every pixel by where it is: red = x mod 256, green =
y mod 256, blue = x / 256 mod 16 * 16 + y / 256 mod 16. ImageMagick decodes
the file into RGB rows, which must equal the grid's rows exactly; with
--lossy (JPEG) the mean difference must stay under 1 level a channel and no
pixel may be off by more than 8 levels in any channel away from the
columns and rows where the colours wrap around.
"""
import subprocess
import sys


def expected_rows(width, height):
    red = bytes(x & 255 for x in range(width))
    # The blue channel for each value of y / 256 mod 16.
    blues = [bytes(((x >> 8) & 15) << 4 | hi for x in range(width)) for hi in range(16)]
    row = bytearray(width * 3)
    row[0::3] = red
    for y in range(height):
        row[1::3] = bytes([y & 255]) * width
        row[2::3] = blues[(y >> 8) & 15]
        yield bytes(row)


def main():
    path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    lossy = "--lossy" in sys.argv[4:]
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, check=True).stdout
    if size.split() != [str(width), str(height)]:
        print(f"FAIL: {path} is {size}, expected {width} {height}", file=sys.stderr)
        return 1
    decode = subprocess.Popen(["convert", path, "-alpha", "off", "-depth", "8", "rgb:-"], stdout=subprocess.PIPE)
    stride = width * 3
    wrong_rows = 0
    first_wrong = None
    total_diff = 0
    worst = 0
    for y, want in enumerate(expected_rows(width, height)):
        got = decode.stdout.read(stride)
        if len(got) != stride:
            print(f"FAIL: {path} ends at row {y}", file=sys.stderr)
            return 1
        if got == want:
            continue
        if not lossy:
            wrong_rows += 1
            if first_wrong is None:
                x = next(i for i in range(stride) if got[i] != want[i]) // 3
                first_wrong = (x, y, tuple(got[x * 3:x * 3 + 3]), tuple(want[x * 3:x * 3 + 3]))
            continue
        near_wrap_row = (y & 255) in (0, 255)
        for i in range(stride):
            d = abs(got[i] - want[i])
            total_diff += d
            x = i // 3
            if d > worst and not near_wrap_row and (x & 255) not in (0, 255):
                worst = d
    decode.stdout.close()
    if decode.wait() != 0:
        print(f"FAIL: ImageMagick could not decode {path}", file=sys.stderr)
        return 1
    if wrong_rows:
        x, y, got, want = first_wrong
        print(f"FAIL: {path}: {wrong_rows} rows differ; first at {x},{y}: {got}, expected {want}", file=sys.stderr)
        return 1
    if lossy:
        mean = total_diff / (stride * height)
        print(f"{path}: mean difference {mean:.3f}, largest {worst}")
        if mean >= 1.0 or worst > 8:
            print(f"FAIL: {path} is too far from the page", file=sys.stderr)
            return 1
    print(f"{path}: {width} x {height}, {'close to' if lossy else 'equal to'} the page")
    return 0


if __name__ == "__main__":
    sys.exit(main())
