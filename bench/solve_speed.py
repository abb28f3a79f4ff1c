#!/usr/bin/env python3
"""Times `corvo solve NET --format json` as a whole process against the
speed targets: the MATPOWER originals in cases/matpower, the converted
pegase 2869 case file, and bench/synthetic_case networks (MATPOWER files)
of the sizes of the public networks not bundled (case2383wp, case2869pegase,
ACTIVSg10k) and of 78 000 buses.

Each time is the median of --runs runs (hyperfine -N when installed, which
starts the process without a shell); the peak memory comes from GNU time;
the split of one run comes from --verbose (read, model, pre-checks, solve,
results; the rest, start-up and JSON output, is the whole minus these).
Measures only; nothing is asserted.

Usage: bench/solve_speed.py [--runs 5] [--only NAME]
Builds corvo and synthetic_case into BUILD_DIR (default build/) when needed.
"""
import argparse
import json
import os
import pathlib
import re
import shutil
import statistics
import subprocess
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = pathlib.Path(os.environ.get("BUILD_DIR", ROOT / "build"))
CORVO = BUILD / "corvo" / "app" / "corvo"

# name, source (a file under cases/, or "synthetic BUSES"), target seconds,
# target MB (None: no memory target), HiGHS seconds as measured by the issue.
NETWORKS = [
    ("case118", "matpower/case118.m", 0.008, None, 0.016),
    ("case300", "matpower/case300.m", 0.011, None, 0.022),
    ("ACTIVSg500", "matpower/case_ACTIVSg500.m", 0.016, None, 0.031),
    ("case1354pegase", "matpower/case1354pegase.m", 0.041, None, 0.082),
    ("2383 buses (case2383wp size)", "synthetic 2383", 0.105, None, 0.211),
    ("peg2869 (case file)", "large/peg2869.dat", 0.155, None, 0.313),
    ("2869 buses (case2869pegase size)", "synthetic 2869", 0.155, None, 0.313),
    ("ACTIVSg2000", "matpower/case_ACTIVSg2000.m", 0.130, None, 0.261),
    ("10 000 buses (ACTIVSg10k size)", "synthetic 10000", 0.5, 100, 5.06),
    ("78 000 buses", "synthetic 78000", 5.0, 1024, None),
]


def build():
    if not (BUILD / "CMakeCache.txt").exists():
        subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-DCMAKE_BUILD_TYPE=Release"], check=True,
                       stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD, "--target", "corvo", "synthetic_case", "-j2"], check=True,
                   stdout=subprocess.DEVNULL)


def network_file(source, folder):
    if not source.startswith("synthetic"):
        return ROOT / "cases" / source
    buses = source.split()[1]
    path = folder / f"synthetic{buses}.m"
    if not path.exists():
        with open(path, "wb") as out:
            subprocess.run([BUILD / "bench" / "synthetic_case", buses, "1", "--format", "m"], stdout=out, check=True)
    return path


def median_seconds(args, runs):
    if shutil.which("hyperfine"):
        with tempfile.NamedTemporaryFile("r", suffix=".json") as export:
            subprocess.run(["hyperfine", "-N", "--warmup", "1", "--runs", str(runs), "--export-json", export.name,
                            "--output", "null", " ".join(map(str, args))],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            return statistics.median(json.load(open(export.name))["results"][0]["times"])
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append(time.perf_counter() - started)
    return statistics.median(times)


def one_run(args):
    """Peak MB, iterations, verdict and the --verbose split of one run."""
    with tempfile.NamedTemporaryFile("r") as peak:
        run = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak.name] + list(map(str, args)) + ["--verbose"],
                             capture_output=True, text=True)
        mb = int(peak.read().split()[-1]) / 1024
    doc = json.loads(run.stdout)
    phases = re.search(r"times \(s\): read ([\d.]+), model ([\d.]+), pre-checks ([\d.]+), solve ([\d.]+), "
                       r"results and check ([\d.]+)", run.stderr)
    return mb, doc["summary"]["iterations"], doc["optimality"]["verdict"], [float(x) for x in phases.groups()]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    build()
    folder = BUILD / "bench_cases"
    folder.mkdir(exist_ok=True)
    print("| network | iterations | time (s) | target (s) | HiGHS (s) | peak MB | read | model+checks | solve | "
          "results | start-up and output | verdict |")
    print("|---|---|---|---|---|---|---|---|---|---|---|---|")
    for name, source, target, target_mb, highs in NETWORKS:
        if args.only and args.only not in name:
            continue
        path = network_file(source, folder)
        command = [CORVO, "solve", path, "--format", "json"]
        seconds = median_seconds(command, args.runs)
        mb, iterations, verdict, (read, model, checks, solve, results) = one_run(command)
        rest = max(0.0, seconds - (read + model + checks + solve + results))
        met = "met" if seconds <= target and (target_mb is None or mb <= target_mb) else "NOT met"
        highs_text = f"{highs:.3f}" if highs else "—"
        mb_target = f" (≤ {target_mb})" if target_mb else ""
        print(f"| {name} | {iterations} | {seconds:.4f} | ≤ {target} ({met}) | {highs_text} | {mb:.0f}{mb_target} | "
              f"{read:.4f} | {model + checks:.4f} | {solve:.4f} | {results:.4f} | {rest:.4f} | {verdict} |")


if __name__ == "__main__":
    main()
