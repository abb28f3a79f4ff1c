#!/usr/bin/env python3
"""A year of hourly load scales for `corvo batch` (bench/run_batch.py).

Writes a scenario file with one row per hour of a 365-day year (8 760
rows): `scenario,load_scale`, the scale being the case's own loads taken
as the year's peak (1.0) times a daily, weekly and seasonal shape:

  seasonal(d) = 0.80 + 0.10 cos(2 pi (d - 200) / 365)    summer peak (day 200)
                     + 0.06 cos(4 pi (d - 15) / 365)     and a winter one
  daily(t)    = 0.78 + 0.22 shape(t), shape 0 at 4 h and 1 at 17 h
  weekend     = 0.92 on Saturdays and Sundays (day 0 is a Monday)

mapped linearly onto 0.70 .. 1.00 (the largest hour exactly 1.0). The
floor is the network's, not the weather's: ACTIVSg2000 keeps every unit
committed, with minimum outputs adding up to 49 % of the peak load, and
below about 0.6 of the peak that must-run output has nowhere to go (the
scenarios are infeasible). The numbers are rounded to 4 decimals, so the
file is the same on every machine.

    bench/batch_profile.py > year.csv
"""
import math
import sys

FLOOR = 0.70


def daily(hour):
    # A smooth valley at 4 h and a peak at 17 h: a cosine stretched over
    # the 13 rising hours and the 11 falling ones.
    if 4 <= hour <= 17:
        x = (hour - 4) / 13.0
    else:
        x = 1.0 - ((hour - 17) % 24) / 11.0
    return 0.78 + 0.22 * (0.5 - 0.5 * math.cos(math.pi * x))


def seasonal(day):
    return (0.80 + 0.10 * math.cos(2 * math.pi * (day - 200) / 365.0)
            + 0.06 * math.cos(4 * math.pi * (day - 15) / 365.0))


def scales():
    raw = []
    for day in range(365):
        weekend = 0.92 if day % 7 in (5, 6) else 1.0
        for hour in range(24):
            raw.append(seasonal(day) * daily(hour) * weekend)
    low, peak = min(raw), max(raw)
    return [FLOOR + (1.0 - FLOOR) * (r - low) / (peak - low) for r in raw]


def main():
    out = sys.stdout
    out.write("scenario,load_scale\n")
    for h, s in enumerate(scales()):
        day, hour = divmod(h, 24)
        out.write("d%03d h%02d,%.4f\n" % (day + 1, hour, s))


if __name__ == "__main__":
    main()
