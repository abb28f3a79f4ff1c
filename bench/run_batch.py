#!/usr/bin/env python3
"""Times `corvo batch` on this machine.

  year  8 760 hourly scenarios of case_ACTIVSg2000 (loads scaled by the
        profile of bench/batch_profile.py), results as one HDF5 file;
  n-1   every single-branch outage of case1354pegase that leaves the
        network connected (--outages n-1), results as CSV files;

each with 1 and 2 threads in one process, and with 1, 2 and 3 MPI
processes of one thread each (mpirun --oversubscribe; skipped without
mpirun). Prints a Markdown table: scenarios, wall time of the whole
command (reading, the base solve, every scenario, the tables), scenarios
per second, milliseconds per scenario, and the failed count.

    bench/run_batch.py --corvo build/corvo/app/corvo [--every 10] [--only year|n-1]

--every K keeps every K-th hour of the year (spread over the seasons) for
a quicker estimate; the year's time is then extrapolated, and the table
says so.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "bench"))
import batch_profile  # noqa: E402


def year_file(path, every):
    with open(path, "w") as out:
        out.write("scenario,load_scale\n")
        for h, s in enumerate(batch_profile.scales()):
            if h % every == 0:
                day, hour = divmod(h, 24)
                out.write("d%03d h%02d,%.4f\n" % (day + 1, hour, s))


def spin(_):
    x = 0
    for k in range(6_000_000):
        x += k
    return x


def parallel_capacity():
    """How much faster two busy processes finish than one after the other:
    2.0 on two idle cores, about 1.0 when other work takes a core. The
    scaling of the rows below means nothing when this is far below 2."""
    import multiprocessing
    started = time.monotonic()
    spin(0)
    spin(0)
    serial = time.monotonic() - started
    with multiprocessing.Pool(2) as pool:
        started = time.monotonic()
        pool.map(spin, [0, 1])
        parallel = time.monotonic() - started
    return serial / parallel


def run(command, env=None):
    started = time.monotonic()
    done = subprocess.run(command, capture_output=True, text=True, env=env)
    seconds = time.monotonic() - started
    if done.returncode not in (0, 1):
        sys.exit("failed (%d): %s\n%s" % (done.returncode, " ".join(command), done.stderr[-2000:]))
    return seconds, done.stdout


def counts(stdout):
    # "corvo batch: N scenarios, M optimal, F failed; results in ..."
    words = stdout.split()
    return int(words[2]), int(words[6])


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--corvo", default=os.path.join(ROOT, "build", "corvo", "app", "corvo"))
    ap.add_argument("--every", type=int, default=1)
    ap.add_argument("--only", choices=["year", "n-1"])
    ap.add_argument("--cold", action="store_true", help="pass --cold (no warm start)")
    args = ap.parse_args()
    mpirun = shutil.which("mpirun")
    work = tempfile.mkdtemp(prefix="corvo_bench_batch_")
    try:
        benches = []
        if args.only in (None, "year"):
            scenarios = os.path.join(work, "year.csv")
            year_file(scenarios, args.every)
            benches.append(("year ACTIVSg2000", os.path.join(ROOT, "cases/matpower/case_ACTIVSg2000.m"),
                            ["--scenarios", scenarios, "--format", "hdf5"], "year.h5"))
        if args.only in (None, "n-1"):
            benches.append(("N-1 case1354pegase", os.path.join(ROOT, "cases/matpower/case1354pegase.m"),
                            ["--outages", "n-1"], "n1"))
        configs = [("1 thread", [], 1), ("2 threads", [], 2)]
        if mpirun:
            configs += [("%d MPI processes" % k if k > 1 else "1 MPI process",
                         [mpirun, "--allow-run-as-root", "--oversubscribe", "-n", str(k)], 1) for k in (1, 2, 3)]
        print("Two busy processes ran %.2fx as fast as one after the other (2.00 on two idle cores)."
              % parallel_capacity())
        print()
        print("| benchmark | run | scenarios | wall time (s) | scenarios/s | ms/scenario | failed |")
        print("|---|---|---|---|---|---|---|")
        for name, network, options, output in benches:
            for label, launcher, threads in configs:
                command = launcher + [args.corvo, "batch", network] + options + [
                    "--threads", str(threads), "--output", os.path.join(work, output)]
                if args.cold:
                    command.append("--cold")
                seconds, stdout = run(command)
                n, failed = counts(stdout)
                row = "| %s | %s | %d | %.1f | %.2f | %.0f | %d |" % (
                    name, label, n, seconds, n / seconds, 1000 * seconds / n, failed)
                if name.startswith("year") and args.every > 1:
                    row += " (every %dth hour; the year: about %.0f s)" % (args.every, seconds * 8760 / n)
                print(row, flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
