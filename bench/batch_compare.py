#!/usr/bin/env python3
"""Whole-process page capture, side by side on this machine: `quorvane --save`
(PNG) against headless Chromium's --screenshot and wkhtmltoimage, on a simple
page and a heavy one (20,000 SVG polygons and 400 labels over the whole area),
at 8000 x 6000 and 12000 x 9000. Every tool gets the same page files and
sizes under the same X server (the one of DISPLAY), and the runs are
interleaved: run 1 of every tool, then run 2 in a rotated order, and so on, so
that a burst of load on this shared machine falls on all of them alike. For
each tool: the median wall time from start until the process has ended with
its file written, the highest peak memory of its whole process tree (resident
set, and proportional set, which counts memory shared between its processes
once), the file's size, and whether the whole area was drawn in every run:
each quadrant holds drawn content and, on the simple page, the four corner
labels are there.

    xvfb-run -a -s "-screen 0 1920x1080x24" bench/batch_compare.py build/quorvane \
        [--runs 5] [--sizes 8000x6000,...] [--tools quorvane,wkhtmltoimage,chromium]

With QUORVANE_PHASES=1 in the environment, the phase breakdown of Quorvane's
last run of each row is printed below the row.

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


def install_bench_tools(chosen):
    missing = [pkg for tool, pkg in BENCH_PACKAGES.items() if tool in chosen and not shutil.which(tool)]
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


def tree_memory_kb(root):
    """Resident and proportional memory of a process and all its descendants."""
    children = {}
    parents = {}
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        children.setdefault(int(fields[1]), []).append(int(pid))
    rss = pss = 0
    todo = [root]
    while todo:
        pid = todo.pop()
        todo.extend(children.get(pid, []))
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Rss:"):
                        rss += int(line.split()[1])
                    elif line.startswith("Pss:"):
                        pss += int(line.split()[1])
        except (OSError, ValueError):
            continue
    return rss, pss


def run(command, out, phases):
    if os.path.exists(out):
        os.remove(out)
    start = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE if phases else subprocess.DEVNULL, text=True)
    peak_rss = peak_pss = 0
    # Standard error is read at the end; the breakdown is a few lines.
    while process.poll() is None:
        rss, pss = tree_memory_kb(process.pid)
        peak_rss, peak_pss = max(peak_rss, rss), max(peak_pss, pss)
        time.sleep(0.02)
    seconds = time.monotonic() - start
    log = process.stderr.read() if phases else ""
    return seconds, peak_rss / 1024, peak_pss / 1024, process.returncode, log


def image_size(image):
    result = subprocess.run(["identify", "-ping", "-format", "%wx%h", image], capture_output=True, text=True)
    return result.stdout.strip()


def whole_area_drawn(image, width, height, corner_labels):
    """Whether the image is width x height and each of its four quadrants holds
    drawn content (more than 0.5% of its samples are not white) and, when
    asked, whether the simple page's four green corner labels are in it. The
    image is decoded once, streamed, as ImageMagick's policy refuses to hold
    the larger images whole."""
    if not os.path.exists(image) or image_size(image) != f"{width}x{height}":
        return False
    data = subprocess.run(["stream", "-map", "rgb", "-storage-type", "char", image, "-"],
                          capture_output=True).stdout
    row = width * 3
    if len(data) != row * height:
        return False
    half_w, half_h = width // 2, height // 2
    for qx, qy in ((0, 0), (1, 0), (0, 1), (1, 1)):
        samples = white = 0
        for y in range(qy * half_h, (qy + 1) * half_h):
            part = data[y * row + qx * half_w * 3:y * row + (qx + 1) * half_w * 3]
            samples += len(part)
            white += part.count(255)
        if samples - white <= samples // 200:
            return False
    if corner_labels:
        for x, y in ((8, 8), (width - 9, 8), (8, height - 9), (width - 9, height - 9)):
            r, g, b = data[y * row + x * 3:y * row + x * 3 + 3]
            if not (r < 0x50 and g > 0x90 and b < 0x90):
                return False
    return True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("quorvane")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="8000x6000,12000x9000")
    parser.add_argument("--pages", default="simple,heavy")
    parser.add_argument("--tools", default="quorvane,wkhtmltoimage,chromium")
    parser.add_argument("--check", choices=("all", "first"), default="all",
                        help="check the drawing after every run, or after the first of each tool and row only")
    parser.add_argument("--baseline", help="another quorvane build, run as the tool quorvane-baseline")
    args = parser.parse_args()
    install_bench_tools(args.tools.split(","))
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
    if args.baseline:
        baseline = os.path.abspath(args.baseline)
        tools["quorvane-baseline"] = lambda w, h, url: [baseline, "--save", out, "--size", f"{w}x{h}", url]
    chosen = args.tools.split(",") + (["quorvane-baseline"] if args.baseline else [])
    tools = {name: tools[name] for name in chosen}
    phases = bool(os.environ.get("QUORVANE_PHASES"))
    versions = []
    if "chromium" in tools:
        versions.append(subprocess.run(["chromium", "--version"], capture_output=True, text=True).stdout.strip())
    if "wkhtmltoimage" in tools:
        versions.append(subprocess.run(["wkhtmltoimage", "--version"], capture_output=True, text=True).stdout.strip())
    print(f"# {'; '.join(versions)}; DISPLAY={os.environ.get('DISPLAY', '')} for every tool")
    print(f"# {os.cpu_count()} CPUs; load average {os.getloadavg()[0]:.1f} at start; "
          f"median of {args.runs} interleaved runs; drawing checked after {args.check} runs")
    print(f"{'page':7} {'size':>11} {'tool':14} {'wall s':>8} {'min-max s':>11} {'RSS MB':>8} {'PSS MB':>8} "
          f"{'file MB':>8} {'image':>12} {'whole':>6} {'status':>6}")
    results = {}
    for size in args.sizes.split(","):
        w, h = (int(v) for v in size.split("x"))
        for name in args.pages.split(","):
            url = "file://" + pages[name]
            rows = {tool: {"times": [], "rss": [], "pss": [], "whole": True, "status": 0, "got": "", "bytes": 0,
                           "log": ""} for tool in tools}
            for i in range(args.runs):
                order = list(tools)[i % len(tools):] + list(tools)[:i % len(tools)]
                for tool in order:
                    row = rows[tool]
                    seconds, rss, pss, status, log = run(tools[tool](w, h, url), out, phases and tool.startswith("quorvane"))
                    row["times"].append(seconds)
                    row["rss"].append(rss)
                    row["pss"].append(pss)
                    row["status"] = row["status"] or status
                    row["log"] = log or row["log"]
                    row["got"] = image_size(out) if os.path.exists(out) else "none"
                    row["bytes"] = os.path.getsize(out) if os.path.exists(out) else 0
                    if args.check == "all" or i == 0:
                        row["whole"] = row["whole"] and whole_area_drawn(out, w, h, name == "simple")
            for tool, row in rows.items():
                wall = statistics.median(row["times"])
                results[(name, size, tool)] = wall
                print(f"{name:7} {size:>11} {tool:14} {wall:8.2f} {min(row['times']):5.2f}-{max(row['times']):<5.2f} "
                      f"{max(row['rss']):8.0f} {max(row['pss']):8.0f} {row['bytes'] / 1e6:8.1f} {row['got']:>12} "
                      f"{'yes' if row['whole'] else 'NO':>6} {row['status']:>6}", flush=True)
                if row["log"]:
                    print("".join("    " + line + "\n" for line in row["log"].splitlines() if "phase" in line), end="")
    print()
    for size in args.sizes.split(","):
        for name in args.pages.split(","):
            q = results[(name, size, "quorvane")] if "quorvane" in tools else None
            for other in (t for t in tools if t != "quorvane"):
                if q:
                    print(f"{name} {size}: {other} / quorvane = {results[(name, size, other)] / q:.2f}x")
    print(f"# load average {os.getloadavg()[0]:.1f} at the end")
    shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
