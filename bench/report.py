"""Formats the measurements of bench/run.sh as a Markdown table (printed on stdout).

python3 bench/report.py OUTDIR ELAPSED_SECONDS
"""

import csv
import datetime
import json
import os
import re
import sys


def cpu_model():
    with open("/proc/cpuinfo", encoding="utf-8") as info:
        for line in info:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return "unknown"


def main():
    out, elapsed = sys.argv[1], sys.argv[2]
    clk = os.sysconf("SC_CLK_TCK")
    rows = list(csv.DictReader(open(os.path.join(out, "raw.tsv"), encoding="utf-8"),
                               delimiter="\t"))
    labels = ["floor", "paintfloor", "default", "1000", "100000"]
    per = {}
    for label in labels:
        runs = [r for r in rows if r["label"] == label]
        if not runs:
            continue
        wall = sum(float(r["wall"]) for r in runs)
        prog = sum(int(r["prog"]) for r in runs)
        server = sum(int(r["server"]) for r in runs)
        rest = sum(int(r["rest"]) for r in runs)
        ticks = sum(int(r["ticks"]) for r in runs)
        per[label] = {
            "prog": prog / wall,  # clock ticks per second of scrolling
            "server": server / wall,
            "rest": rest / wall,
            "total": (prog + server) / wall,
            "rate": ticks / wall,
            "runs": runs,
        }

    lines = []
    add = lines.append
    add("# LED Banner: cost of scrolling")
    add("")
    add(f"{datetime.datetime.now(datetime.timezone.utc):%Y-%m-%d %H:%M} UTC, "
        f"nproc {os.cpu_count()}, {cpu_model()}; bench/run.sh took {elapsed} s.")
    add("")
    add(f"## CPU of scrolling under Wine (clock ticks of {1000 // clk} ms per second of "
        "scrolling; utime+stime)")
    add("")
    add("The floor program and the banner ran one after the other in the same prefix, "
        f"{len(per.get('floor', {}).get('runs', []))} rounds; the figures are the sums over the "
        "rounds divided by the measured wall time. 'rest' is every other process of the prefix "
        "(services, explorer), not part of the figure.")
    add("")
    add("| run | program | wineserver | program+wineserver | x floor | rest | timer ticks/s "
        "| ticks vs floor | x default text |")
    add("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
    floor = per.get("floor")
    default = per.get("default")
    for label in labels:
        if label not in per:
            continue
        p = per[label]
        name = {"floor": "floor program", "paintfloor": "floor + one 357x68 BitBlt a tick",
                "default": "banner, default text \"Quorlin原创\"",
                "1000": "banner, 1000 bytes", "100000": "banner, 100 000 bytes"}[label]
        xfloor = f"{p['total'] / floor['total']:.2f}" if floor and label != "floor" else ""
        tick_ratio = f"{100 * p['rate'] / floor['rate']:.1f} %" if floor and label != "floor" \
            else ""
        xdefault = f"{p['total'] / default['total']:.2f}" if default and label in ("1000",
                                                                               "100000") else ""
        add(f"| {name} | {p['prog']:.2f} | {p['server']:.2f} | {p['total']:.2f} | {xfloor} "
            f"| {p['rest']:.2f} | {p['rate']:.1f} | {tick_ratio} | {xdefault} |")
    add("")
    add("Each round on its own (program / wineserver clock ticks, timer ticks, seconds):")
    add("")
    for label in labels:
        if label in per:
            add(f"- {label}: " + "; ".join(
                f"round {r['round']}: {r['prog']} / {r['server']}, {r['ticks']} ticks, "
                f"{r['wall']} s" for r in per[label]["runs"]))
    add("")

    add("## Frame integrity (captures of the 439x80 strip on the X screen)")
    add("")
    add("| text | frames | broken | missing dots | stray dots | other colour | dot pixels |")
    add("|---|---:|---:|---:|---:|---:|---:|")
    for label in ("default", "100000"):
        path = os.path.join(out, f"frames-{label}.txt")
        if not os.path.exists(path):
            continue
        text = open(path, encoding="utf-8").read()
        fields = dict(re.findall(r"(\w+)=(\S+)", text))
        add(f"| {label} | {fields.get('frames')} | {fields.get('broken')} "
            f"| {fields.get('missing_dots')} | {fields.get('stray_dots')} "
            f"| {fields.get('other_colour')} | {fields.get('dot_pixels')} |")
    add("")

    add("## Our own code per call (Google Benchmark, in-memory window manager, median of 5)")
    add("")
    add("| benchmark | 3 bytes | 1000 bytes | 100 000 bytes | allocs/iter (3 / 100 000) |")
    add("|---|---:|---:|---:|---:|")
    data = json.load(open(os.path.join(out, "native.json"), encoding="utf-8"))
    medians = {}
    for bench in data["benchmarks"]:
        if bench.get("aggregate_name") != "median":
            continue
        name, arg = bench["run_name"].split("/")
        medians[(name, arg)] = bench
    for name in ("BM_ScrollStep", "BM_Tick", "BM_InputEdited", "BM_Edit"):
        cells = []
        for arg in ("3", "1000", "100000"):
            bench = medians.get((name, arg))
            cells.append(f"{bench['cpu_time']:.0f} ns" if bench else "")
        allocs = [medians.get((name, a), {}).get("allocs/iter") for a in ("3", "100000")]
        allocs_text = " / ".join(f"{a:.1f}" if a is not None else "?" for a in allocs)
        add(f"| {name[3:]} | " + " | ".join(cells) + f" | {allocs_text} |")
    add("")
    print("\n".join(lines))


if __name__ == "__main__":
    main()
