#!/usr/bin/env python3
"""Whole-process page capture, side by side on this machine: `quorvane --save`
(PNG) against headless Chromium's --screenshot and wkhtmltoimage, on a simple
page and a heavy one (20,000 SVG polygons and 400 labels over the whole area),
at 8000 x 6000 and 12000 x 9000. For each run: wall time from start until the
process has ended with its file written, the peak memory of its whole process
tree, and whether each quadrant of the image holds drawn content.

    xvfb-run -a -s "-screen 0 1920x1080x24" bench/batch_compare.py build/quorvane [--runs 3] [--sizes 8000x6000,...]

Chromium (Debian package chromium) and wkhtmltoimage (wkhtmltopdf) are only
needed here; they are installed on first use, not by tools/install-deps.sh.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

BENCH_PACKAGES = {"chromium": "chromium", "wkhtmltoimage": "wkhtmltopdf"}


def install_bench_tools():
    missing = [pkg for tool, pkg in BENCH_PACKAGES.items() if not shutil.which(tool)]
    if missing:
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(sudo + ["apt-get", "install", "-y", "--no-install-recommends"] + missing, check=True, env=env)


def write_pages(folder):
    simple = os.path.join(folder, "simple.html")
    with open(simple, "w") as f:
        f.write("""<!DOCTYPE html><html><head><meta charset="utf-8"><title>simple</title><style>
html, body { margin: 0; width: 100%; height: 100%; overflow: hidden; font: 24px sans-serif;
             background: linear-gradient(135deg, #cfe3f5, #f7e1c8); }
h1 { margin: 40px; } p { margin: 0 40px; max-width: 40em; }
.corner { position: fixed; padding: 20px; background: #2a6; color: white; }
</style></head><body><h1>Club route map</h1><p>A simple page: a heading, a paragraph, a gradient
over the whole area and a label in each corner.</p>
<div class="corner" style="left:0;top:0">NW</div><div class="corner" style="right:0;top:0">NE</div>
<div class="corner" style="left:0;bottom:0">SW</div><div class="corner" style="right:0;bottom:0">SE</div>
</body></html>""")
    rng = random.Random(15)
    polygons = []
    for _ in range(20000):
        x, y = rng.uniform(0, 1000), rng.uniform(0, 750)
        points = " ".join(f"{x + rng.uniform(-6, 6):.1f},{y + rng.uniform(-6, 6):.1f}" for _ in range(5))
        colour = f"#{rng.randrange(0x1000000):06x}"
        polygons.append(f'<polygon points="{points}" fill="{colour}" fill-opacity="0.7" stroke="#333" stroke-width="0.3"/>')
    labels = []
    for i in range(400):
        labels.append(f'<div class="l" style="left:{rng.uniform(0, 97):.2f}%;top:{rng.uniform(0, 98):.2f}%">'
                      f'Label {i}</div>')
    heavy = os.path.join(folder, "heavy.html")
    with open(heavy, "w") as f:
        f.write("""<!DOCTYPE html><html><head><meta charset="utf-8"><title>heavy</title><style>
html, body { margin: 0; width: 100%; height: 100%; overflow: hidden; background: white; }
svg { position: absolute; left: 0; top: 0; width: 100%; height: 100%; }
.l { position: absolute; font: 14px sans-serif; background: rgba(255,255,255,0.8); padding: 1px 3px; }
</style></head><body><svg viewBox="0 0 1000 750" preserveAspectRatio="none">""" + "".join(polygons) +
                "</svg>" + "".join(labels) + "</body></html>")
    return {"simple": simple, "heavy": heavy}


def tree_rss_kb(root):
    """Resident memory of a process and all its descendants."""
    children = {}
    rss = {}
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            with open(f"/proc/{pid}/statm") as f:
                pages = int(f.read().split()[1])
        except (OSError, IndexError, ValueError):
            continue
        children.setdefault(int(fields[1]), []).append(int(pid))
        rss[int(pid)] = pages * os.sysconf("SC_PAGE_SIZE") // 1024
    total, todo = 0, [root]
    while todo:
        pid = todo.pop()
        total += rss.get(pid, 0)
        todo.extend(children.get(pid, []))
    return total


def run(command, out):
    if os.path.exists(out):
        os.remove(out)
    start = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    peak = 0
    while process.poll() is None:
        peak = max(peak, tree_rss_kb(process.pid))
        time.sleep(0.02)
    return time.monotonic() - start, peak / 1024, process.returncode


def image_size(image):
    result = subprocess.run(["identify", "-ping", "-format", "%wx%h", image], capture_output=True, text=True)
    return result.stdout.strip()


def drawn_quadrants(image):
    """How many of the image's four quadrants hold drawn content: more than
    0.5% of their samples are not white. The pixels are streamed, as
    ImageMagick's policy refuses to hold the larger images whole."""
    if not os.path.exists(image):
        return 0
    try:
        width, height = (int(v) for v in image_size(image).split("x"))
    except ValueError:
        return 0
    drawn = 0
    for x, y in ((0, 0), (1, 0), (0, 1), (1, 1)):
        w, h = width // 2, height // 2
        region = f"{w}x{h}+{x * w}+{y * h}"
        data = subprocess.run(["stream", "-map", "rgb", "-storage-type", "char", "-extract", region, image, "-"],
                              capture_output=True).stdout
        if len(data) == w * h * 3 and len(data) - data.count(255) > len(data) // 200:
            drawn += 1
    return drawn


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("quorvane")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sizes", default="8000x6000,12000x9000")
    args = parser.parse_args()
    install_bench_tools()
    folder = tempfile.mkdtemp(prefix="qv-bench-")
    pages = write_pages(folder)
    out = os.path.join(folder, "out.png")
    quorvane = os.path.abspath(args.quorvane)
    chromium = ["chromium", "--headless", "--disable-gpu", "--hide-scrollbars", "--no-first-run",
                f"--user-data-dir={folder}/chromium-profile"] + (["--no-sandbox"] if os.geteuid() == 0 else [])
    tools = {
        "quorvane": lambda w, h, url: [quorvane, "--save", out, "--size", f"{w}x{h}", url],
        "chromium": lambda w, h, url: chromium + [f"--window-size={w},{h}", f"--screenshot={out}", url],
        "wkhtmltoimage": lambda w, h, url: ["wkhtmltoimage", "--quiet", "--width", str(w), "--height", str(h),
                                            url, out],
    }
    env_note = subprocess.run(["chromium", "--version"], capture_output=True, text=True).stdout.strip()
    print(f"# {env_note}; wkhtmltoimage {subprocess.run(['wkhtmltoimage', '--version'], capture_output=True, text=True).stdout.strip()}")
    print(f"# {os.cpu_count()} CPUs; load average {os.getloadavg()[0]:.1f} at start; median of {args.runs} runs")
    print(f"{'page':7} {'size':>11} {'tool':14} {'wall s':>8} {'peak MB':>9} {'image':>12} {'drawn':>6} {'status':>6}")
    results = {}
    for size in args.sizes.split(","):
        w, h = (int(v) for v in size.split("x"))
        for name, path in pages.items():
            url = "file://" + path
            for tool, command in tools.items():
                times, peaks, quadrants, status, got = [], [], 4, 0, ""
                for _ in range(args.runs):
                    seconds, peak, status = run(command(w, h, url), out)
                    times.append(seconds)
                    peaks.append(peak)
                    quadrants = min(quadrants, drawn_quadrants(out))
                    got = image_size(out) if os.path.exists(out) else "none"
                wall = statistics.median(times)
                results[(name, size, tool)] = wall
                print(f"{name:7} {size:>11} {tool:14} {wall:8.2f} {max(peaks):9.0f} {got:>12} {quadrants:>4}/4 {status:>6}",
                      flush=True)
    print()
    for size in args.sizes.split(","):
        for name in pages:
            q, c = results[(name, size, "quorvane")], results[(name, size, "chromium")]
            print(f"{name} {size}: Chromium / Quorvane = {c / q:.1f}x")
    shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
