#!/usr/bin/env python3
"""An independent, deliberately plain transcription of talven's arithmetic.

Reads a problem file (orsa.ip layout), runs the same primal-dual iteration
with the square-root-free Givens least squares, operation by operation in
the same order (Python floats are IEEE doubles and Python never fuses a
multiply and an add), and prints what talven shows on the console for the
iteration lines and writes what talven writes to talven.flw. Comparing the
two outputs byte for byte checks the C++ arithmetic bit for bit through the
printed digits.

usage: reference_talven.py PROBLEM_FILE OUT_FLOW_FILE OUT_CONSOLE_FILE
It handles iprint 0 runs that stay finite (enough for the cross-check).
"""
import struct
import sys

sys.path.insert(0, __import__('os').path.dirname(__file__))
from check_rendering import ref_exp  # noqa: E402


def to_single(v):
    return struct.unpack('f', struct.pack('f', v))[0]


class Reader:
    def __init__(self, path):
        with open(path, 'rb') as f:
            self.lines = f.read().decode('latin-1').split('\n')
        self.lines = [l[:-1] if l.endswith('\r') else l for l in self.lines]
        self.pos = 0

    def record(self):
        line = self.lines[self.pos]
        self.pos += 1
        return line

    def fields(self, count, per_record, width, convert):
        values = []
        while len(values) < count:
            line = self.record()
            for c in range(per_record):
                if len(values) == count:
                    break
                values.append(convert(line[c * width:(c + 1) * width]))
        return values


def real(field):
    s = field.replace(' ', '')
    if not s:
        return 0.0
    s = s.replace('D', 'E').replace('d', 'E')
    if 'E' not in s and '.' in s:
        # bare-sign exponent: 1.5-3
        for i in range(1, len(s)):
            if s[i] in '+-':
                s = s[:i] + 'E' + s[i:]
                break
    return float(s)


def integer(field):
    s = field.replace(' ', '')
    return int(s) if s else 0


def read_problem(path):
    r = Reader(path)
    p = {}
    p['name'] = r.record()[:14]
    p['title'] = r.record()
    m, n, ndp, ndc = r.fields(4, 8, 10, integer)
    p.update(m=m, n=n)
    p['c'] = r.fields(n, 4, 20, real)
    p['q'] = r.fields(n, 4, 20, real)
    p['A'] = [r.fields(n, 4, 20, real) for _ in range(m)]
    p['b'] = r.fields(m, 4, 20, real)
    p['x'] = r.fields(n, 4, 20, real)
    flags = r.fields(n, 8, 10, integer)
    p['neg'] = [j for j in range(n) if flags[j] != 0]
    p['lb'] = r.fields(len(p['neg']), 4, 20, real) if p['neg'] else []
    p['y'] = r.fields(m, 4, 20, real)
    p['z'] = r.fields(n, 4, 20, real)
    line = r.record()
    widths = [(0, 10), (10, 20), (20, 30), (30, 40), (40, 50), (50, 60), (60, 70)]
    f = [line[a:b] for a, b in widths]
    p['rho'], p['epsln'] = real(f[0]), real(f[1])
    p['maxit'] = integer(f[2])
    p['bigm'], p['sigma'], p['epslnp'], p['epslgiv'] = (real(f[3]), real(f[4]), real(f[5]),
                                                       real(f[6]))
    p['iprint'] = r.fields(1, 8, 10, integer)[0]
    if p['epslnp'] == 0.0:
        p['epslnp'] = p['epsln']
    return p


def resid(n, m, A, x, y, z, r, c, q, mu):
    t = [0.0] * m
    for i in range(m):
        s = r[i]
        for j in range(n):
            s = s - A[i][j] * x[j]
        t[i] = s
    u = [0.0] * n
    v = [0.0] * n
    for j in range(n):
        s = c[j] - z[j] + q[j] * x[j]
        for i in range(m):
            s = s - A[i][j] * y[i]
        u[j] = s
        v[j] = mu - z[j] * x[j]
    return t, u, v


def infnorm(vec):
    best = 0.0
    for e in vec:
        if abs(e) > best:
            best = abs(e)
    return best


class Givens:
    def __init__(self):
        self.sum_sq = 0.0  # cumulative sum of squared residuals, whole run

    def givrot(self, K, d, F, w, a, eps):
        i = 0
        while True:
            xi = a[i]
            if abs(xi) <= eps:
                i += 1
                if i >= K:
                    return
                continue
            dp = (w * xi) * xi + d[i]
            cbar = d[i] / dp
            wp = cbar * w
            sbar = (w * xi) / dp
            a[i] = 0.0
            row = F[i]
            for k in range(i + 1, K):
                a_old = a[k]
                a[k] = a_old - row[k] * xi
                row[k] = row[k] * cbar + a_old * sbar
            d[i] = dp
            if abs(wp) < eps:
                return
            if i == K - 1:
                return
            w = wp
            i += 1

    def givwls(self, n, m, A, t, u, v, x, eps, W):
        K = n + m
        F = [[0.0] * K for _ in range(K)]
        for i in range(K):
            F[i][i] = 1.0
        d = [0.0] * K
        for j in range(n):
            if abs(W[j]) < eps:
                continue
            a = [A[i][j] for i in range(m)] + [0.0] * n
            a[m + j] = 1.0
            self.givrot(K, d, F, W[j], a, eps)
            self.sum_sq = d[m]
        U = [F[i][:m] for i in range(m)]
        T1 = [F[i][m:m + n] for i in range(m)]
        y = [0.0] * m
        if m:
            y[0] = t[0]
        for i in range(1, m):
            s = t[i]
            for k in range(i):
                s = s - U[k][i] * y[k]
            y[i] = s
        p = [0.0] * n
        for j in range(n):
            s = 0.0
            for k in range(m):
                s = s + (T1[k][j] / W[j]) * y[k]
            p[j] = s
        qv = [(p[j] + u[j]) - v[j] / x[j] for j in range(n)]
        r = [0.0] * m
        for k in range(m):
            s = 0.0
            for j in range(n):
                s = s + T1[k][j] * qv[j]
            r[k] = s
        dy = [0.0] * m
        if m:
            dy[m - 1] = r[m - 1]
        for i in range(m - 2, -1, -1):
            s = r[i]
            for k in range(m - 1, i, -1):
                s = s - U[i][k] * dy[k]
            dy[i] = s
        return dy


def solve(p):
    n, m, A = p['n'], p['m'], p['A']
    c, q, b = p['c'], p['q'], p['b']
    x, y, z = list(p['x']), list(p['y']), list(p['z'])
    bm = list(b)
    for i in range(m):
        for kk, j in enumerate(p['neg']):
            bm[i] = bm[i] - A[i][j] * p['lb'][kk]
    xs = [j for j in range(n) if abs(x[j]) <= 1.0e-6]
    zs = [j for j in range(n) if abs(z[j]) <= 1.0e-6]
    for j in xs:
        x[j] = 1.0
    for j in zs:
        z[j] = 1.0
    y = [1.0] * m
    giv = Givens()
    console = []
    pf = df = 0.0
    k = 0
    eps = p['epsln']
    while True:
        gap = 0.0
        for j in range(n):
            gap = gap + z[j] * x[j]
        mu = p['sigma'] * gap / n
        console += ['', '', 'Iteration  %3d    Gap = %s  Primal fact. = %s  Dual fact. = %s' % (
            k, ref_exp(gap, 12, 5), ref_exp(pf, 12, 5), ref_exp(df, 12, 5)), '']
        if gap <= eps and pf <= eps and df <= eps:
            converged = True
            break
        if k > p['maxit']:
            converged = False
            break
        t, u, v = resid(n, m, A, x, y, z, bm, c, q, mu)
        W = [1.0 / (z[j] / x[j] + q[j]) for j in range(n)]
        dy = giv.givwls(n, m, A, t, u, v, x, p['epslgiv'], W)
        dx = [0.0] * n
        for j in range(n):
            w = 0.0
            for i in range(m):
                w = w + A[i][j] * dy[i]
            dx[j] = (v[j] / x[j] + w - u[j]) * W[j]
        dz = [(v[j] - z[j] * dx[j]) / x[j] for j in range(n)]
        alphap = -1000000.0
        for j in range(n):
            if dx[j] < 0:
                ratio = -(dx[j] / x[j])
                if ratio > alphap:
                    alphap = to_single(ratio)
        alphad = -1000000.0
        for j in range(n):
            if dz[j] < 0:
                ratio = -(dz[j] / z[j])
                if ratio > alphad:
                    alphad = to_single(ratio)
        larger = alphap if alphap > alphad else alphad
        s = 1.0 if larger == -1000000.0 else p['rho'] / larger
        for j in range(n):
            x[j] = x[j] + s * dx[j]
            z[j] = z[j] + s * dz[j]
        for i in range(m):
            y[i] = y[i] + s * dy[i]
        pf = infnorm(t)
        df = infnorm(u)
        k += 1
    kk = 0
    for j in range(n):
        if j in p['neg']:
            x[j] = x[j] + p['lb'][kk]
            kk += 1
    cost = 0.0
    if converged:
        for j in range(n):
            cost = cost + (x[j] * x[j] * q[j] * 0.5 + c[j] * x[j])
        e = p['epslnp']
        x = [0.0 if abs(e_) <= e else e_ for e_ in x]
        z = [0.0 if abs(e_) <= e else e_ for e_ in z]
        y = [0.0 if abs(e_) <= e else e_ for e_ in y]
        t, u, v = resid(n, m, A, x, y, z, b, c, q, mu)
        pf, df = infnorm(t), infnorm(u)
    flow = []

    def i5(vals):
        for s in range(0, len(vals), 16):
            flow.append(''.join('%5d' % v for v in vals[s:s + 16]))

    def d208(vals):
        for s in range(0, len(vals), 4):
            flow.append(''.join(ref_exp(v, 20, 8) for v in vals[s:s + 4]))

    i5([1 if converged else 0])
    i5([n, m])
    d208(x)
    d208(y)
    d208([cost])
    i5([k])
    d208([mu, gap, pf, df, eps])
    return console, flow


def main():
    p = read_problem(sys.argv[1])
    console, flow = solve(p)
    with open(sys.argv[2], 'wb') as f:
        f.write(''.join(l + '\r\n' for l in flow).encode('latin-1'))
    with open(sys.argv[3], 'w') as f:
        f.write(''.join(l + '\n' for l in console))


if __name__ == '__main__':
    main()
