#!/usr/bin/env python3
"""Compares recordtool's F, D and I fields with an independent rendering.

The reference below follows the output rules from scratch with Python's
exact decimal arithmetic: the value's exact expansion is rounded to 17
significant digits, then cut at the last digit shown and rounded up (away
from zero) when the first digit cut off is 5 or more.

usage: check_rendering.py RECORDTOOL [COUNT] [SEED]
"""
import random
import struct
import subprocess
import sys
from decimal import Decimal, ROUND_HALF_EVEN, ROUND_DOWN, ROUND_HALF_UP, getcontext

getcontext().prec = 1200


def seventeen(v):
    """|v| as (digits, exponent) with |v| = 0.digits * 10**exponent."""
    d = Decimal(abs(v))
    e = d.adjusted()  # d = x.xxx * 10**e
    q = d.scaleb(-e).quantize(Decimal('1.' + '0' * 16), rounding=ROUND_HALF_EVEN)
    if q >= 10:
        q = q / 10
        e += 1
    digits = str(q).replace('.', '')[:17]
    return digits, e + 1


def shown(digits, count):
    """First `count` digits rounded at the first cut digit (half up)."""
    if count < 0:
        return 0
    full = digits + '0' * max(0, count + 1 - len(digits))
    kept = int(full[:count]) if count > 0 else 0
    if full[count] >= '5':
        kept += 1
    return kept


def fit(text, w):
    return '*' * w if len(text) > w else text.rjust(w)


def ref_fixed(v, w, d):
    value = 0
    if v != 0:
        digits, e = seventeen(v)
        value = shown(digits, e + d)
    s = str(value).rjust(d + 1, '0') if value else '0' * (d + 1)
    ip, fp = s[:-d] if d else s, s[-d:] if d else ''
    ip = ip.lstrip('0')
    sign = '-' if (v < 0 or str(v).startswith('-')) and value != 0 else ''
    return fit(sign + ip + '.' + fp, w)


def ref_exp(v, w, d):
    e = 0
    value = 0
    if v != 0:
        digits, e = seventeen(v)
        value = shown(digits, d)
        if value >= 10 ** d:
            value //= 10
            e += 1
    s = str(value).rjust(d, '0')
    sign = '-' if v < 0 and value != 0 else ''
    if -99 <= e <= 99:
        ex = 'D' + ('-' if e < 0 else '+') + str(abs(e)).rjust(2, '0')
    else:
        ex = ('-' if e < 0 else '+') + str(abs(e)).rjust(3, '0')
    return fit(sign + '.' + s + ex, w)


def random_double(rng):
    kind = rng.random()
    if kind < 0.3:
        return struct.unpack('d', struct.pack('Q', rng.getrandbits(64)))[0]
    if kind < 0.6:
        return rng.uniform(-1, 1) * 10 ** rng.randint(-12, 14)
    if kind < 0.8:  # values near a rounding boundary of the shown digits
        d = rng.randint(0, 8)
        return (rng.randint(-10 ** 6, 10 ** 6) + 0.5) / 10 ** d
    return float(rng.randint(-10 ** 9, 10 ** 9)) / rng.choice([1, 2, 4, 8, 10, 100, 1000])


def main():
    tool = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261208)
    values = []
    while len(values) < count:
        v = random_double(rng)
        if v == v and abs(v) != float('inf'):
            values.append(v)
    fields = [('F', 16, 4, ref_fixed), ('F', 10, 2, ref_fixed), ('D', 20, 13, ref_exp),
              ('D', 12, 5, ref_exp), ('D', 10, 3, ref_exp), ('D', 13, 4, ref_exp),
              ('D', 20, 8, ref_exp)]
    bad = 0
    for letter, w, d, ref in fields:
        tmpl = '(%s%d.%d)' % (letter, w, d)
        args = [tool, 'write', tmpl] + ['r:' + repr(v) for v in values]
        out = subprocess.run(args, capture_output=True, text=True, check=True).stdout
        lines = out.split('\n')[:-1]
        for v, got in zip(values, lines):
            want = ref(v, w, d)
            if got != want:
                bad += 1
                if bad <= 20:
                    print('%s %r: got [%s] want [%s]' % (tmpl, v, got, want))
    ints = [rng.randint(-2 ** 31, 2 ** 31 - 1) >> rng.randint(0, 31) for _ in range(count)]
    out = subprocess.run([tool, 'write', '(I10)'] + ['i:%d' % i for i in ints],
                         capture_output=True, text=True, check=True).stdout
    for i, got in zip(ints, out.split('\n')):
        if got != fit(str(i), 10):
            bad += 1
    total = count * (len(fields) + 1)
    print('%d passed, %d failed' % (total - bad, bad))
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main())
