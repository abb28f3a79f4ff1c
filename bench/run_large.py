#!/usr/bin/env python3
"""Times `corvo solve` on the large public cases and a generated network.

Whole process, as a user runs it: read the case file, build the program,
pre-check, solve, print the results (JSON, discarded). Prints a table of
case, sizes, iterations, cost, time and peak memory for the robust method,
and the classic method alongside on the cases where it finishes within its
time limit. Measures only; nothing is asserted.

Usage: bench/run_large.py [--buses 10000] [--seed 1] [--classic-seconds 60]
                          [--repeat 3]
Builds corvo and synthetic_case into BUILD_DIR (default build/) when needed.
"""
import argparse
import json
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = pathlib.Path(os.environ.get("BUILD_DIR", ROOT / "build"))
LARGE = ROOT / "cases" / "large"


def build():
    if not (BUILD / "CMakeCache.txt").exists():
        subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-DCORVO_GUI=OFF",
                        "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD, "--target", "corvo", "synthetic_case", "-j2"],
                   check=True, stdout=subprocess.DEVNULL)


GNU_TIME = "/usr/bin/time"


def run_once(args, limit):
    """Wall time (s), peak resident memory (MB), exit status and standard
    output of one process, or None when it runs past `limit` seconds.

    The peak comes from GNU time when it is installed (Debian package
    "time"): a child started straight from this interpreter would count the
    interpreter's own memory, which it shares until it executes the
    program. Without GNU time that is the figure shown (marked with ~)."""
    with tempfile.TemporaryFile() as out, tempfile.NamedTemporaryFile("r") as peak_file:
        measured = os.access(GNU_TIME, os.X_OK)
        if measured:
            args = [GNU_TIME, "-f", "%M", "-o", peak_file.name] + args
        actions = [(os.POSIX_SPAWN_DUP2, out.fileno(), 1),
                   (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)]
        started = time.monotonic()
        pid = os.posix_spawn(args[0], args, os.environ, file_actions=actions)
        while True:
            done, status, usage = os.wait4(pid, os.WNOHANG)
            if done:
                break
            if time.monotonic() - started > limit:
                # GNU time's child first, then the process itself.
                subprocess.run(["pkill", "-KILL", "-P", str(pid)])
                os.kill(pid, signal.SIGKILL)
                os.wait4(pid, 0)
                return None
            time.sleep(0.002)
        wall = time.monotonic() - started
        peak = f"{int(peak_file.read().split()[-1]) / 1024:.1f}" if measured else f"~{usage.ru_maxrss / 1024:.1f}"
        out.seek(0)
        return wall, peak, os.waitstatus_to_exitcode(status), out.read()


def measure(case, method, limit, repeat):
    """Best time of `repeat` runs (the machine may be shared)."""
    corvo = str(BUILD / "corvo" / "app" / "corvo")
    best = None
    for _ in range(repeat):
        run = run_once([corvo, "solve", "--method", method, "--format", "json", str(case)], limit)
        if run is None:
            return None
        if best is None or run[0] < best[0]:
            best = run
    wall, peak, status, out = best
    return wall, peak, status, json.loads(out) if out.strip() else None


def sizes(case):
    with open(case, "rb") as f:
        f.readline()
        n, nl = f.readline().split()[:2]
    return int(n), int(nl)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--buses", type=int, default=10000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--classic-seconds", type=float, default=60.0)
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()
    build()

    cases = sorted(LARGE.glob("*.dat"), key=lambda p: sizes(p)[0]) if LARGE.is_dir() else []
    if not cases:
        print(f"note: {LARGE} not found; timing the synthetic network only", file=sys.stderr)
    generated = BUILD / "bench_cases" / f"synthetic{args.buses}-{args.seed}.dat"
    generated.parent.mkdir(parents=True, exist_ok=True)
    with open(generated, "wb") as out:
        subprocess.run([BUILD / "bench" / "synthetic_case", str(args.buses), str(args.seed)],
                       stdout=out, check=True)
    cases.append(generated)

    print(f"{'case':<20} {'buses':>6} {'lines':>6} {'gens':>5} {'method':<8} {'iter':>5} "
          f"{'cost ($/h)':>17} {'verdict':<12} {'time (s)':>9} {'peak MB':>8}")
    for case in cases:
        n, nl = sizes(case)
        for method in ("robust", "classic"):
            limit = 600 if method == "robust" else args.classic_seconds
            run = measure(case, method, limit, args.repeat if method == "robust" else 1)
            if run is None:
                print(f"{case.stem:<20} {n:>6} {nl:>6} {'':>5} {method:<8} {'':>5} {'':>17} "
                      f"{'> %gs' % limit:<12}")
                continue
            wall, peak, status, doc = run
            if doc is None:
                print(f"{case.stem:<20} {n:>6} {nl:>6} {'':>5} {method:<8} {'':>5} {'':>17} "
                      f"{'exit %d' % status:<12} {wall:>9.3f} {peak:>8}")
                continue
            s = doc["summary"]
            print(f"{case.stem:<20} {n:>6} {nl:>6} {len(doc['generators']):>5} {method:<8} "
                  f"{s['iterations']:>5} {s['cost']:>17.6f} {doc['optimality']['verdict']:<12} "
                  f"{wall:>9.3f} {peak:>8}")


if __name__ == "__main__":
    main()
