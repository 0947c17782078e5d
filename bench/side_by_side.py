#!/usr/bin/env python3
"""Two runs of kelvane_bench side by side, from their Google Benchmark JSON files: each benchmark's
CPU time in both and their ratio, then for each family run at n and 4n how many times longer the
larger run took in each (about 4 when the work grows linearly). CPU time, as the machine may be busy.

    side_by_side.py NATIVE.json WINDOWS.json
"""
import json
import sys

UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def cpu_seconds(path):
    with open(path, encoding="utf-8") as f:
        runs = json.load(f)["benchmarks"]
    return {r["name"]: r["cpu_time"] * UNIT[r["time_unit"]]
            for r in runs if r.get("run_type", "iteration") == "iteration" and not r.get("error_occurred")}


def shown(seconds):
    if seconds is None:
        return "-"
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if seconds >= scale:
            return f"{seconds / scale:.3g} {unit}"
    return f"{seconds / 1e-9:.3g} ns"


def growth(times):
    """{family: (n, 4n, ratio)} for names "family/n" with one numeric argument."""
    by_family = {}
    for name, seconds in times.items():
        family, _, arg = name.partition("/")
        if arg.isdigit():
            by_family.setdefault(family, {})[int(arg)] = seconds
    result = {}
    for family, sizes in by_family.items():
        for n, seconds in sorted(sizes.items()):
            if 4 * n in sizes and seconds > 0:
                result[f"{family} {n} -> {4 * n}"] = sizes[4 * n] / seconds
    return result


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    native, windows = cpu_seconds(sys.argv[1]), cpu_seconds(sys.argv[2])
    names = list(native) + [name for name in windows if name not in native]
    width = max(len(name) for name in names)
    print(f"{'CPU time per iteration':<{width}} {'native':>10} {'Windows/Wine':>13} {'ratio':>7}")
    for name in names:
        a, b = native.get(name), windows.get(name)
        ratio = f"{b / a:.2f}" if a and b else "-"
        print(f"{name:<{width}} {shown(a):>10} {shown(b):>13} {ratio:>7}")
    native_growth, windows_growth = growth(native), growth(windows)
    print(f"\n{'time 4n / n':<{width}} {'native':>10} {'Windows/Wine':>13}")
    for key in list(native_growth) + [k for k in windows_growth if k not in native_growth]:
        a, b = (f"{g[key]:.2f}" if key in g else "-" for g in (native_growth, windows_growth))
        print(f"{key:<{width}} {a:>10} {b:>13}")


if __name__ == "__main__":
    main()
