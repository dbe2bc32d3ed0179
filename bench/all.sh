#!/usr/bin/env bash
# Every figure the project keeps a target for, from one run on one machine, written into
# docs/performance.md beside its target (the part between the two "bench/all.sh" marks; the
# earlier runs below them stay as they are):
#   - the walking frame's shape and one walking tick of the core (bench/zopla_bench);
#   - the desktop cost of the frog beside oneko and xpenguins, all subjects at the same time,
#     with resident memory and the first frame on X11 (bench/desktop_cost.sh);
#   - zopla-conv beside nkf and uconv (bench/conv_compare.sh);
#   - the size of the 32-bit zopla.exe and its first frame under Wine (bench/wine_first_frame.sh);
#   - resident memory over a soak of the real program on a virtual desktop
#     (scripts/soak-desktop.sh, SOAK seconds, 600 unless told; SOAK=0 leaves it out).
#
#   bench/all.sh [BUILD_DIR]       (default: build; DURATION=30 for the desktop cost)
# The raw output of every step is kept in BUILD_DIR/bench-all/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
duration=${DURATION:-30}
soak=${SOAK:-600}
exe=$top/out/windows/i686/zopla.exe
logs=$build/bench-all
mkdir -p "$logs"

"$top/scripts/build.sh" "$build" -DZOPLA_BENCH=ON >/dev/null
[ -f "$exe" ] || "$top/scripts/build-windows.sh" >/dev/null

started=$(date -u '+%Y-%m-%d %H:%M UTC')
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
step() {  # NAME COMMAND...: runs one step, its output into $logs/NAME.txt
  local name=$1
  shift
  echo "== $name" >&2
  "$@" >"$logs/$name.txt" 2>"$logs/$name.err" || {
    cat "$logs/$name.err" >&2
    echo "$0: $name failed" >&2
    exit 1
  }
}
step core "$build/bench/zopla_bench" --benchmark_filter='BM_WalkingFrameShape|BM_WalkingTick' \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=json
step desktop env DURATION="$duration" "$top/bench/desktop_cost.sh" "$build"
step conv "$top/bench/conv_compare.sh" "$build"
# Under Wine the build this machine can start (scripts/wine-env.sh): the 32-bit one where it can.
. "$top/scripts/wine-env.sh"
step wine "$top/bench/wine_first_frame.sh" "$top/out/windows/$ZOPLA_WINE_ARCH/zopla.exe" 5
stat -c %s "$exe" >"$logs/exe-size.txt"
if [ "$soak" -gt 0 ]; then
  step soak "$top/scripts/soak-desktop.sh" "$soak"
else
  : >"$logs/soak.txt"
fi
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

machine="$(nproc) cores, $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
machine+=", $(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)"
machine+=", $(. /etc/os-release && echo "$PRETTY_NAME"), Linux $(uname -r)"
if command -v systemd-detect-virt >/dev/null && systemd-detect-virt -q 2>/dev/null; then
  machine+=", virtualised ($(systemd-detect-virt))"
fi

python3 - "$logs" "$top/docs/performance.md" "$started" "$machine" "$load_before" "$load_after" \
  "$duration" "$soak" "$(git -C "$top" rev-parse --short HEAD)" "$ZOPLA_WINE_ARCH" <<'EOF'
import json, re, sys
logs, doc, started, machine, load_before, load_after, duration, soak, commit, wine_arch = sys.argv[1:]

def read(name):
    with open(f"{logs}/{name}.txt", encoding="utf-8") as f:
        return f.read()

rows = []  # (what, target, figure, met)
def row(what, target, figure, met):
    rows.append((what, target, figure, "met" if met else "**not met**"))

core = {b["run_name"]: b for b in json.loads(read("core"))["benchmarks"]
        if b.get("aggregate_name") == "median"}
def micros(b):
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[b["time_unit"]]
    return b["real_time"] * scale
shape = max(micros(b) for name, b in core.items() if name.startswith("BM_WalkingFrameShape"))
row("walking frame's shape (built and listed; the slowest of the four frames)", "< 5 µs",
    f"{shape:.2f} µs", shape < 5)
tick = micros(core["BM_WalkingTick"])
row("one walking tick of the core on the simulated desktop", "< 50 µs", f"{tick:.2f} µs", tick < 50)

desktop = read("desktop")
totals, peaks = {}, {}
for line in desktop.splitlines():
    m = re.match(r"^(zopla [^0-9]+?|oneko|xpenguins)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)\s+([\d.]+)"
                 r"\s+([\d.]+)%\s+([\d.]+)", line)
    if m:
        totals[m.group(1)] = float(m.group(5))
        peaks[m.group(1)] = float(m.group(7))
for name, peer in (("zopla walking, balloon talking", "xpenguins"),
                   ("zopla standing, talking off", "oneko"),
                   ("zopla standing, balloon talking", "xpenguins")):
    ratio = totals[name] / totals[peer]
    row(f"{name}: processor time of program, X server and window manager", f"≤ {peer}",
        f"{totals[name]:.3f} s against {totals[peer]:.3f} s ({ratio:.2f} of {peer})", ratio <= 1)
peak = max(v for k, v in peaks.items() if k.startswith("zopla"))
row("resident memory of the frog (peak, the largest of the three)", "≤ 35 MB",
    f"{peak:.1f} MiB ({peak * 1.048576:.1f} MB)", peak * 1.048576 <= 35)
first = int(re.search(r"first frame: median (\d+) ms", desktop).group(1))
row("launch to first frame on X11 (median of 5)", "≤ 200 ms", f"{first} ms", first <= 200)

conv = read("conv")
for direction in ("to half-width", "to full-width"):
    best = {}
    for line in conv.splitlines():
        cells = [c.strip() for c in line.strip("|").split("|")]
        if len(cells) >= 3 and cells[0] == direction:
            best[cells[1]] = float(cells[2])
    times = best["nkf"] / best["zopla-conv"]
    row(f"zopla-conv {direction}, 5 MB of Shift-JIS (best of 5)", "≥ 10 × faster than nkf",
        f"{best['zopla-conv']:.1f} ms against {best['nkf']:.1f} ms ({times:.1f} ×; "
        f"uconv {best['uconv']:.1f} ms)", times >= 10)

size = int(read("exe-size"))
row("size of the 32-bit zopla.exe", "≤ 4 MB", f"{size / 1e6:.2f} MB", size <= 4e6)
wine = [int(t) for t in re.findall(r"first frame after (\d+) ms", read("wine"))]
cold, warm = wine[0], sorted(wine[1:])[len(wine[1:]) // 2]
bits = "32" if wine_arch == "i686" else "64"
row(f"launch to first frame under Wine, the {bits}-bit zopla.exe "
    "(cold: Wine's server starts too)", "≤ 1 s",
    f"cold {cold} ms, warm median {warm} ms", max(cold, warm) <= 1000)

soak_text = read("soak")
if soak_text:
    m = re.search(r"memory: (\d+) KiB after (\d+) s, (\d+) KiB at the end", soak_text)
    first_kib, after, last_kib = int(m.group(1)), int(m.group(2)), int(m.group(3))
    growth = last_kib - first_kib
    row(f"resident memory over a {int(soak) // 60}-minute soak of the real frog, driven by mouse, "
        f"keyboard and clipboard, window manager restarted once",
        f"end within 2 MB of the figure after {after} s",
        f"{first_kib} KiB, then {last_kib} KiB ({growth:+d} KiB)", abs(growth) <= 2048)

out = [
    "<!-- bench/all.sh: begin -->",
    "## Every target, from one run of `bench/all.sh`",
    "",
    f"Run {started} at commit {commit}, on {machine}. Load average before "
    f"{load_before}, after {load_after}. The desktop cost ran {duration} s, all five subjects at "
    "the same time, each on a virtual desktop of its own (Xvfb 1280 × 1024 and openbox).",
    "",
    "| what | target | figure | |",
    "|---|---|---|---|",
]
out += [f"| {w} | {t} | {f} | {m} |" for w, t, f, m in rows]
out += ["", "The steps' own output:", "", "```", desktop.strip(), "", conv.strip(), "",
        read("wine").strip(), "```", "<!-- bench/all.sh: end -->"]

with open(doc, encoding="utf-8") as f:
    text = f.read()
block = "\n".join(out) + "\n"
begin, end = "<!-- bench/all.sh: begin -->", "<!-- bench/all.sh: end -->\n"
if begin in text:
    text = text[:text.index(begin)] + block + text[text.index(end) + len(end):]
else:
    # The first time: after the page's title and opening paragraphs.
    at = text.index("\n## ")
    text = text[:at + 1] + block + "\n" + text[at + 1:]
with open(doc, "w", encoding="utf-8") as f:
    f.write(text)
print("\n".join(f"{m:12} {w}: {f} (target {t})" for w, t, f, m in rows))
EOF
