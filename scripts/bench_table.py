"""Turns the blit benchmark's JSON output into a markdown table: the best
megapixels per second of each implementation, our ratio to the faster peer
(SDL2 or pixman), to SDL2's run-length-encoded colour-key blit, and to the
memcpy roofline."""
import json
import sys

PEERS = ("sdl2", "pixman")


def best_rates(path):
    with open(path) as f:
        runs = json.load(f)["benchmarks"]
    rates = {}
    for run in runs:
        if run.get("run_type") == "aggregate" or run.get("error_occurred"):
            continue
        op, scene, impl = run["run_name"].split("/")
        rate = run.get("items_per_second", 0) / 1e6
        key = (op, scene)
        rates.setdefault(key, {})
        rates[key][impl] = max(rates[key].get(impl, 0), rate)
    return rates


def cell(value):
    return f"{value:,.0f}" if value else "–"


def ratio(ours, other):
    return f"{ours / other:.2f}" if ours and other else "–"


def main():
    rates = best_rates(sys.argv[1])
    print("| operation | scene | Vexlo | SDL2 | SDL2 RLE | pixman | memcpy | vs faster peer | vs SDL2 RLE | vs memcpy |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|")
    for (op, scene), r in rates.items():
        ours = r.get("vexlo", 0)
        peer = max([r.get(p, 0) for p in PEERS])
        print(f"| {op} | {scene} | {cell(ours)} | {cell(r.get('sdl2', 0))} | {cell(r.get('sdl2-rle', 0))} "
              f"| {cell(r.get('pixman', 0))} | {cell(r.get('memcpy', 0))} | {ratio(ours, peer)} "
              f"| {ratio(ours, r.get('sdl2-rle', 0))} | {ratio(ours, r.get('memcpy', 0))} |")
    print()
    print("Megapixels of destination per second, best of the repetitions.")


if __name__ == "__main__":
    main()
