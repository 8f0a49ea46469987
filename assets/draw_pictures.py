#!/usr/bin/env python3
"""Paints the rendered parts of the client's pictures.

Everything that is shading rather than lettering is painted here, pixel by
pixel with supersampling, and written as PAM (RGB + alpha) files into a work
folder; make_pictures.sh then letters, assembles and converts them with
ImageMagick. The dauber cursor is written here directly as a .cur file.

Usage: draw_pictures.py WORK_DIR PROGRAM_DIR

Only the standard library is used and every random choice comes from a fixed
seed, so two runs give the same bytes.
"""

import math
import os
import random
import struct
import sys

# ---------------------------------------------------------------- helpers


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def smooth(e0, e1, x):
    if e0 == e1:
        return 0.0 if x < e0 else 1.0
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def rgb(hexstr):
    hexstr = hexstr.lstrip('#')
    return tuple(int(hexstr[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def norm(v):
    d = math.sqrt(sum(c * c for c in v))
    return tuple(c / d for c in v)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def scale(c, k):
    return tuple(x * k for x in c)


def add(a, b):
    return tuple(x + y for x, y in zip(a, b))


WHITE = (1.0, 1.0, 1.0)
BLACK = (0.0, 0.0, 0.0)


class Canvas:
    """Straight-alpha RGBA floats; shapes are painted through a sample
    function fn(x, y) -> (r, g, b, a) or None, averaged over ss*ss samples."""

    def __init__(self, w, h, bg=(0.0, 0.0, 0.0, 0.0)):
        self.w, self.h = w, h
        self.px = [list(bg) for _ in range(w * h)]

    def blend(self, x, y, r, g, b, a):
        if a <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        oa = p[3] * (1.0 - a)
        na = a + oa
        if na <= 0.0:
            return
        p[0] = (r * a + p[0] * oa) / na
        p[1] = (g * a + p[1] * oa) / na
        p[2] = (b * a + p[2] * oa) / na
        p[3] = na

    def paint(self, fn, box=None, ss=3):
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        offs = [(i + 0.5) / ss for i in range(ss)]
        n = float(ss * ss)
        for y in range(y0, y1):
            for x in range(x0, x1):
                sr = sg = sb = sa = 0.0
                for oy in offs:
                    for ox in offs:
                        c = fn(x + ox, y + oy)
                        if c is None:
                            continue
                        a = c[3]
                        sr += c[0] * a
                        sg += c[1] * a
                        sb += c[2] * a
                        sa += a
                if sa > 0.0:
                    self.blend(x, y, sr / sa, sg / sa, sb / sa, sa / n)

    def field(self, fn):
        """Opaque per-pixel fill, one sample per pixel (for textures)."""
        for y in range(self.h):
            for x in range(self.w):
                r, g, b = fn(x, y)
                self.px[y * self.w + x] = [r, g, b, 1.0]

    def save(self, path):
        out = bytearray()
        for p in self.px:
            out += bytes(int(round(clamp(c) * 255)) for c in p)
        head = ('P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\n'
                'TUPLTYPE RGB_ALPHA\nENDHDR\n' % (self.w, self.h))
        with open(path, 'wb') as f:
            f.write(head.encode('ascii') + bytes(out))


# ---------------------------------------------------------------- shapes


def disc(cx, cy, r, colour, alpha=1.0):
    def fn(x, y):
        if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
            return colour + (alpha,)
        return None
    return fn


def round_rect(x0, y0, x1, y1, rad, colour_fn, alpha=1.0):
    def fn(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return None
        qx = max(x0 + rad - x, 0.0, x - (x1 - rad))
        qy = max(y0 + rad - y, 0.0, y - (y1 - rad))
        if qx * qx + qy * qy > rad * rad:
            return None
        c = colour_fn(x, y) if callable(colour_fn) else colour_fn
        return c + (alpha,)
    return fn


def star_inside(x, y, cx, cy, r_out, r_in, points=5, turn=-math.pi / 2):
    """Point-in-star test (star with `points` tips)."""
    ang = math.atan2(y - cy, x - cx) - turn
    d = math.hypot(x - cx, y - cy)
    seg = math.pi / points
    a = ang % (2 * seg)
    if a > seg:
        a = 2 * seg - a
    # edge between the tip (angle 0, r_out) and the notch (angle seg, r_in)
    tx, ty = r_out, 0.0
    nx, ny = r_in * math.cos(seg), r_in * math.sin(seg)
    px, py = d * math.cos(a), d * math.sin(a)
    cross = (nx - tx) * (py - ty) - (ny - ty) * (px - tx)
    return cross >= 0


def star(cx, cy, r_out, r_in, colour, points=5, alpha=1.0, turn=-math.pi / 2):
    def fn(x, y):
        if star_inside(x, y, cx, cy, r_out, r_in, points, turn):
            return colour + (alpha,)
        return None
    return fn


def sparkle(cx, cy, size, colour, alpha=1.0):
    """A four-pointed twinkle with a soft glow."""
    def fn(x, y):
        dx, dy = abs(x - cx), abs(y - cy)
        if dx > size or dy > size:
            return None
        # astroid-like twinkle: |dx|^0.5 + |dy|^0.5 < size^0.5
        v = math.sqrt(dx / size) + math.sqrt(dy / size)
        if v < 1.0:
            return colour + (alpha,)
        glow = math.exp(-((dx * dx + dy * dy) / (size * size * 0.12)))
        if glow > 0.02:
            return colour + (alpha * glow * 0.6,)
        return None
    return fn


def capsule_sdf(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    t = clamp((wx * vx + wy * vy) / (vx * vx + vy * vy))
    return math.hypot(wx - vx * t, wy - vy * t), t


# ---------------------------------------------------------------- glossy balls

LIGHT = norm((-0.45, -0.62, 0.64))
HALF = norm(add(LIGHT, (0.0, 0.0, 1.0)))


def ball(cx, cy, R, base, cap=None, cap_cos=0.62, ring=None):
    """A glossy bingo ball. cap: unit direction of the white label disc."""
    deep = scale(base, 0.35)

    def fn(x, y):
        dx, dy = (x - cx) / R, (y - cy) / R
        r2 = dx * dx + dy * dy
        if r2 >= 1.0:
            return None
        nz = math.sqrt(1.0 - r2)
        n = (dx, dy, nz)
        diff = max(0.0, dot(n, LIGHT))
        rim = smooth(0.0, 0.45, nz)
        on_cap = False
        if cap is not None:
            t = dot(n, cap)
            if t > cap_cos:
                on_cap = True
                edge = smooth(cap_cos, cap_cos + 0.035, t)
        if on_cap:
            shade = 0.80 + 0.20 * diff
            col = scale(WHITE, shade)
            col = mix(scale(base, 0.55), col, 0.25 + 0.75 * edge)
        else:
            shade = 0.18 + 0.92 * diff
            col = mix(deep, base, clamp(shade))
            if shade > 1.0:
                col = mix(col, WHITE, (shade - 1.0) * 0.5)
            col = mix(scale(deep, 0.6), col, 0.35 + 0.65 * rim)
        # window reflection: a soft bright band near the top of the ball
        ry = 2.0 * nz * dy
        band = smooth(-0.55, -0.9, ry) * smooth(-0.05, 0.35, nz)
        band *= smooth(0.7, 0.2, abs(dx))
        shine = math.pow(max(0.0, dot(n, HALF)), 70) * 0.95
        col = mix(col, WHITE, clamp(band * 0.42 + shine))
        # bounce light from below
        col = add(col, scale(base, 0.22 * smooth(0.25, 0.95, dy) * (1 - nz)))
        return col + (1.0,)
    return fn


def motion_trail(cx, cy, R, base, length):
    """Fading streak swept behind a ball moving to the right."""
    dark = scale(base, 0.55)

    def fn(x, y):
        dy = y - cy
        if abs(dy) >= R:
            return None
        half = math.sqrt(R * R - dy * dy)
        if x > cx:
            return None
        s = max(0.0, (cx - half) - x)  # how far behind the ball's edge
        if s >= length:
            return None
        k = 1.0 - s / length
        vertical = smooth(R, R * 0.35, abs(dy))
        return dark + (0.75 * k * k * vertical,)
    return fn


BALL_COLOURS = {
    'blu': rgb('#1f6fe0'),
    'red': rgb('#e0283a'),
    'bla': rgb('#3b3d48'),
    'gre': rgb('#1fa84f'),
    'yel': rgb('#f5c211'),
}
NEUTRAL = rgb('#9a9ca6')

BALL_CX, BALL_CY, BALL_R = 85.0, 50.0, 40.0
DISC_COS = math.sqrt(1.0 - (31.0 / 40.0) ** 2)


def draw_balls(work):
    for name, base in list(BALL_COLOURS.items()) + [('e', NEUTRAL)]:
        rest = Canvas(127, 100, (0, 0, 0, 1))
        rest.paint(ball(BALL_CX, BALL_CY, BALL_R, base, (0.0, 0.0, 1.0), DISC_COS),
                   (BALL_CX - BALL_R - 1, BALL_CY - BALL_R - 1,
                    BALL_CX + BALL_R + 1, BALL_CY + BALL_R + 1), ss=4)
        rest.save(os.path.join(work, 'ball_%s_a.pam' % name))
        if name == 'e':
            continue
        roll = Canvas(127, 100, (0, 0, 0, 1))
        roll.paint(motion_trail(BALL_CX, BALL_CY, BALL_R, base, 58),
                   (0, BALL_CY - BALL_R, BALL_CX, BALL_CY + BALL_R), ss=2)
        # speed lines
        rnd = random.Random(7)
        for i in range(5):
            ly = BALL_CY - 26 + i * 13 + rnd.uniform(-3, 3)
            lx1 = BALL_CX - math.sqrt(max(0.0, BALL_R ** 2 - (ly - BALL_CY) ** 2)) - 4
            lx0 = lx1 - rnd.uniform(18, 34)

            def line(x, y, lx0=lx0, lx1=lx1, ly=ly):
                if abs(y - ly) > 0.8 or x < lx0 or x > lx1:
                    return None
                return WHITE + (0.55 * (x - lx0) / (lx1 - lx0),)
            roll.paint(line, (lx0, ly - 1, lx1, ly + 1))
        cap = norm((0.62, -0.38, 0.69))
        roll.paint(ball(BALL_CX, BALL_CY, BALL_R, base, cap, DISC_COS),
                   (BALL_CX - BALL_R - 1, BALL_CY - BALL_R - 1,
                    BALL_CX + BALL_R + 1, BALL_CY + BALL_R + 1), ss=4)
        roll.save(os.path.join(work, 'ball_%s.pam' % name))


def draw_logo_balls(work):
    """Five small label balls for the wordmark (lettered later)."""
    for i, key in enumerate(['blu', 'red', 'bla', 'gre', 'yel']):
        c = Canvas(32, 32)
        c.paint(ball(16, 16, 15.2, BALL_COLOURS[key], (0.0, 0.0, 1.0),
                     math.sqrt(1 - 0.7 ** 2)), ss=4)
        c.save(os.path.join(work, 'logoball%d.pam' % i))


# ---------------------------------------------------------------- machine


def draw_machine(work):
    c = Canvas(85, 93, (0, 0, 0, 1))
    gx, gy, gr = 42.5, 38.0, 32.0
    # base and stand (behind the globe's lower rim)
    metal_hi, metal_lo = rgb('#d9dce6'), rgb('#4a4e5e')
    violet = rgb('#5b3fd1')

    def cylinder(col_lo, col_hi, x0, x1):
        def shade(x, y):
            t = (x - x0) / max(1.0, (x1 - x0))
            k = 0.5 + 0.5 * math.cos((t - 0.3) * math.pi * 1.3)
            return mix(col_lo, col_hi, clamp(k))
        return shade

    c.paint(round_rect(34, 64, 51, 76, 2, cylinder(metal_lo, metal_hi, 34, 51)))
    c.paint(round_rect(14, 74, 71, 90, 5, cylinder(scale(violet, 0.45), mix(violet, WHITE, 0.35), 14, 71)))
    c.paint(round_rect(10, 86, 75, 92, 3, cylinder(metal_lo, metal_hi, 10, 75)))
    # a little gold trim on the base
    c.paint(round_rect(14, 79, 71, 80.6, 0.5, rgb('#ffd23f'), 0.9))
    # ball chute on the right
    c.paint(round_rect(62, 58, 80, 63, 2.5, cylinder(metal_lo, metal_hi, 62, 80)))
    c.paint(ball(76, 54, 5.5, BALL_COLOURS['yel'], (0, 0, 1), 0.78), (69, 47, 83, 61), ss=4)
    # globe back: dark tinted glass
    c.paint(lambda x, y: (mix(rgb('#1a2250'), rgb('#0a0d20'), clamp((y - gy + gr) / (2 * gr))) + (0.85,))
            if (x - gx) ** 2 + (y - gy) ** 2 <= gr * gr else None,
            (gx - gr, gy - gr, gx + gr + 1, gy + gr + 1))
    # the balls, tumbling: a heap at the bottom and a few in the air
    rnd = random.Random(1975)
    keys = ['blu', 'red', 'bla', 'gre', 'yel']
    placed = []
    spots = [(-14, 20), (-4, 23), (7, 22), (17, 17), (-22, 11), (-9, 13), (2, 13),
             (13, 9), (22, 5), (-16, 1), (-1, 3), (9, -2), (-7, -9), (4, -15),
             (15, -11), (-18, -14), (-3, -22), (11, -24), (21, -5), (-24, -3)]
    for i, (sx, sy) in enumerate(spots):
        bx = gx + sx + rnd.uniform(-1.2, 1.2)
        by = gy + sy + rnd.uniform(-1.2, 1.2)
        placed.append((by, bx, keys[(i * 3 + rnd.randrange(5)) % 5], rnd.uniform(5.0, 5.8)))
    placed.sort()
    for by, bx, key, br in placed:
        cap = norm((rnd.uniform(-0.8, 0.8), rnd.uniform(-0.8, 0.8), 0.6))
        c.paint(ball(bx, by, br, BALL_COLOURS[key], cap, 0.8),
                (bx - br - 1, by - br - 1, bx + br + 1, by + br + 1), ss=3)

    # globe front: fresnel rim, reflections
    def glass(x, y):
        dx, dy = (x - gx) / gr, (y - gy) / gr
        r2 = dx * dx + dy * dy
        if r2 > 1.0:
            return None
        nz = math.sqrt(1.0 - r2)
        a = 0.08 + 0.55 * (1.0 - nz) ** 3
        col = mix(rgb('#7fa8ff'), WHITE, 0.3)
        # broad window reflection upper left
        ex, ey = dx + 0.38, dy + 0.45
        win = smooth(0.30, 0.18, math.hypot(ex * 1.0, ey * 1.6)) * 0.55
        # thin arc reflection lower right
        arc = smooth(0.06, 0.0, abs(math.hypot(dx, dy) - 0.86)) * smooth(0.1, 0.6, dx + dy) * 0.6
        a = clamp(a + win + arc)
        col = mix(col, WHITE, clamp(win * 2 + arc))
        return col + (a,)
    c.paint(glass, (gx - gr - 1, gy - gr - 1, gx + gr + 1, gy + gr + 1), ss=3)
    # rim ring and cap on top
    c.paint(lambda x, y: (rgb('#c9cedd') + (0.9,))
            if abs(math.hypot(x - gx, y - gy) - gr) < 0.7 else None,
            (gx - gr - 2, gy - gr - 2, gx + gr + 2, gy + gr + 2))
    c.paint(round_rect(36, 3, 49, 8, 2, cylinder(metal_lo, metal_hi, 36, 49)))
    c.save(os.path.join(work, 'machine.pam'))


# ---------------------------------------------------------------- pattern grids

GRID_BG = rgb('#161a33')
GRID_EDGE = rgb('#3a4377')
CELL_OFF = rgb('#2b3360')
CELL_ON = rgb('#ff4f8b')
CELL_GOLD = rgb('#ffc933')
STAR_GOLD = rgb('#ffd23f')


def grid_canvas(cells, on_colour=CELL_ON, off_colour=CELL_OFF, centre='star',
                dim=False):
    c = Canvas(60, 60)
    c.paint(round_rect(0, 0, 60, 60, 6, GRID_BG))
    c.paint(lambda x, y: (GRID_EDGE + (1.0,))
            if (x < 1.0 or y < 1.0 or x > 59.0 or y > 59.0) else None)
    off = mix(off_colour, rgb('#3a3d4a'), 0.6) if dim else off_colour
    for col in range(5):
        for row in range(5):
            x0, y0 = 3 + col * 11, 3 + row * 11
            lit = (col, row) in cells
            base = on_colour if lit else off

            def shade(x, y, base=base, y0=y0, lit=lit):
                t = (y - y0) / 10.0
                if lit:
                    return mix(mix(base, WHITE, 0.35), base, smooth(0.0, 0.6, t))
                return mix(mix(base, WHITE, 0.08), base, t)
            c.paint(round_rect(x0, y0, x0 + 10, y0 + 10, 2.2, shade), (x0, y0, x0 + 11, y0 + 11))
    if centre == 'dollar':  # progressive jackpot badge, lettered later
        c.paint(round_rect(25, 25, 35, 35, 2.2, rgb('#21b35a')), (24, 24, 36, 36))
    if centre == 'star':
        lit = (2, 2) in cells
        colour = WHITE if lit else (mix(STAR_GOLD, rgb('#777777'), 0.6) if dim else STAR_GOLD)
        c.paint(star(30.0, 30.4, 4.6, 1.9, colour), (24, 24, 36, 36), ss=4)
    return c


def line_cells(kind, i):
    if kind == 'row':
        return {(c, i) for c in range(5)}
    if kind == 'col':
        return {(i, r) for r in range(5)}
    if i == 0:
        return {(k, k) for k in range(5)}
    return {(k, 4 - k) for k in range(5)}


ALL_LINES = ([line_cells('row', i) for i in range(5)] +
             [line_cells('col', i) for i in range(5)] +
             [line_cells('diag', i) for i in range(2)])


def blocks(w, h):
    out = []
    for left in range(0, 6 - w):
        for top in range(0, 6 - h):
            out.append({(left + a, top + b) for a in range(w) for b in range(h)})
    return out


def draw_patterns(work):
    def save_frames(name, frames, **kw):
        for i, cells in enumerate(frames):
            grid_canvas(cells, **kw).save(os.path.join(work, '%s_%02d.pam' % (name, i)))

    # one line, any: rows, columns, diagonals in turn (middle row first)
    order = [2, 0, 1, 3, 4, 7, 5, 6, 8, 9, 10, 11]
    save_frames('pat01', [ALL_LINES[k] for k in order])
    pairs = [(0, 4), (6, 8), (10, 11), (2, 7), (1, 10), (5, 9), (3, 11)]
    save_frames('pat02', [ALL_LINES[a] | ALL_LINES[b] for a, b in pairs])
    save_frames('pat03', [line_cells('row', 0)])
    x_shape = {(k, k) for k in range(5)} | {(k, 4 - k) for k in range(5)}
    save_frames('pat04', [x_shape])
    edges = [line_cells('row', 0), line_cells('col', 4), line_cells('row', 4), line_cells('col', 0)]
    save_frames('pat05', edges)
    save_frames('pat07', [ALL_LINES[k] for k in order], on_colour=CELL_GOLD, centre='dollar')
    save_frames('pat08', blocks(3, 3))
    b2 = blocks(2, 2)
    save_frames('pat09', [b2[k] for k in (0, 5, 10, 15, 3, 12, 6, 9)])
    save_frames('pat10', [{(a, b) for a in range(5) for b in range(5)}])
    # no pattern: quiet grid with a "no" sign
    c = grid_canvas(set(), dim=True, centre=None)
    red = rgb('#ff5a5f')

    def no_sign(x, y):
        d = math.hypot(x - 30, y - 30)
        ring = abs(d - 17) < 3.0
        u = ((x - 30) - (y - 30)) / math.sqrt(2)  # across the bar
        v = ((x - 30) + (y - 30)) / math.sqrt(2)
        bar = abs(v) < 2.8 and abs(u) < 16
        return red + (0.92,) if ring or bar else None
    c.paint(no_sign, (8, 8, 52, 52), ss=4)
    c.save(os.path.join(work, 'pat11_00.pam'))
    grid_canvas(set()).save(os.path.join(work, 'grid.pam'))
    grid_canvas(set(), dim=True, centre=None).save(os.path.join(work, 'NAgrid.pam'))


# ---------------------------------------------------------------- banner art


def draw_bingo_frames(work, frames=6):
    """Rotating sunburst with twinkles behind the BINGO! lettering."""
    w, h = 191, 91
    cx, cy = 95.5, 48.0
    rnd = random.Random(42)
    sparks = [(rnd.uniform(8, w - 8), rnd.uniform(8, h - 8), rnd.uniform(3.0, 6.5),
               rnd.randrange(frames)) for _ in range(14)]
    for f in range(frames):
        c = Canvas(w, h)
        turn = f * (math.pi / 6) / frames

        def burst(x, y):
            ang = math.atan2(y - cy, x - cx) + turn
            d = math.hypot(x - cx, y - cy) / 110.0
            ray = math.cos(ang * 12) > 0.15
            inner = mix(rgb('#5b2bd6'), rgb('#2a1a6e'), clamp(d))
            outer = mix(rgb('#3e1d9e'), rgb('#160d3d'), clamp(d))
            return (inner if ray else outer) + (1.0,)
        c.paint(burst, ss=2)
        # soft glow in the middle
        c.paint(lambda x, y: (rgb('#ff7ab3') + (0.35 * math.exp(-(((x - cx) / 70) ** 2 + ((y - cy) / 30) ** 2)),)), ss=1)
        for (sx, sy, size, phase) in sparks:
            k = (f - phase) % frames
            if k > 2:
                continue
            s = size * (1.0, 0.7, 0.35)[k]
            c.paint(sparkle(sx, sy, s, rgb('#fff4c2')), (sx - s - 3, sy - s - 3, sx + s + 3, sy + s + 3), ss=3)
        c.save(os.path.join(work, 'bingo_%02d.pam' % f))


def draw_logo_back(work):
    w, h = 190, 85
    c = Canvas(w, h)

    def back(x, y):
        d = math.hypot((x - 95) / 120.0, (y - 30) / 70.0)
        return mix(rgb('#3b2aa8'), rgb('#141236'), clamp(d)) + (1.0,)
    c.paint(back, ss=1)
    rnd = random.Random(11)
    for _ in range(26):
        sx, sy = rnd.uniform(3, w - 3), rnd.uniform(3, 46)
        c.paint(disc(sx, sy, rnd.uniform(0.5, 1.1), WHITE, rnd.uniform(0.25, 0.7)), (sx - 2, sy - 2, sx + 2, sy + 2))
    c.paint(lambda x, y: (rgb('#6f5cf0') + (0.9,))
            if (x < 1 or y < 1 or x > w - 1 or y > h - 1) else None)
    c.save(os.path.join(work, 'logo_back.pam'))


CONFETTI = [rgb(x) for x in ('#ff4f8b', '#ffc933', '#2ec4b6', '#6f8cff', '#a3e635', '#ff8a3d', '#ffffff')]


def draw_winnerbox(work):
    w, h = 349, 272
    c = Canvas(w, h)
    c.paint(lambda x, y: (mix(rgb('#3b1f8f'), rgb('#170c3d'), clamp(math.hypot((x - 175) / 260, (y - 20) / 300))) + (1.0,)), ss=1)
    rnd = random.Random(2000)
    # confetti around the edges (the panel covers the middle afterwards)
    for _ in range(170):
        x, y = rnd.uniform(0, w), rnd.uniform(0, h)
        col = rnd.choice(CONFETTI)
        ang = rnd.uniform(0, math.pi)
        lw, lh = rnd.uniform(2.0, 4.5), rnd.uniform(1.0, 2.0)
        ca, sa = math.cos(ang), math.sin(ang)

        def piece(px, py, x=x, y=y, ca=ca, sa=sa, lw=lw, lh=lh, col=col):
            u = (px - x) * ca + (py - y) * sa
            v = -(px - x) * sa + (py - y) * ca
            return col + (0.95,) if abs(u) < lw and abs(v) < lh else None
        c.paint(piece, (x - 6, y - 6, x + 6, y + 6), ss=3)
    # streamers: two wavy ribbons across the top corners
    for (x0, col, phase) in ((-10, rgb('#ffc933'), 0.0), (250, rgb('#2ec4b6'), 1.7)):
        def ribbon(px, py, x0=x0, col=col, phase=phase):
            t = (px - x0) / 110.0
            if t < 0 or t > 1:
                return None
            yc = 8 + 40 * t + 6 * math.sin(t * 9 + phase)
            return col + (0.85,) if abs(py - yc) < 2.2 else None
        c.paint(ribbon, (x0, 0, x0 + 111, 60), ss=3)
    # soft shadow, then the light panel where names and amounts go
    c.paint(round_rect(18, 58, 335, 264, 14, BLACK, 0.35), ss=2)

    def panel(x, y):
        return rgb('#fffaf0')
    c.paint(round_rect(14, 53, 333, 260, 14, rgb('#ffc933')), ss=3)
    c.paint(round_rect(17, 56, 330, 257, 12, panel), ss=3)
    for sx, sy in ((30, 70), (318, 70), (30, 244), (318, 244)):
        c.paint(star(sx, sy, 6, 2.5, rgb('#ffc933')), (sx - 7, sy - 7, sx + 7, sy + 7), ss=4)
    c.save(os.path.join(work, 'winnerbox.pam'))


def draw_thanks(work):
    c = Canvas(100, 100)
    c.paint(round_rect(0, 0, 100, 100, 12, lambda x, y: mix(rgb('#3b2aa8'), rgb('#161236'), clamp(math.hypot(x - 50, y - 40) / 70))), ss=3)
    c.paint(ball(50, 44, 33, rgb('#ff4f8b'), (0, 0, 1), math.sqrt(1 - (24 / 33) ** 2)), (16, 10, 84, 78), ss=4)
    rnd = random.Random(5)
    for _ in range(6):
        sx, sy = rnd.choice([(rnd.uniform(6, 20), rnd.uniform(8, 70)), (rnd.uniform(80, 94), rnd.uniform(8, 70))])
        s = rnd.uniform(2.5, 4.5)
        c.paint(sparkle(sx, sy, s, rgb('#fff4c2')), (sx - 6, sy - 6, sx + 6, sy + 6))
    c.save(os.path.join(work, 'thanks.pam'))


# ---------------------------------------------------------------- arrows

ARROWS = {
    'maroonarrow': (rgb('#800000'), WHITE, rgb('#3a0000')),
    'tealarrow': (rgb('#008080'), WHITE, rgb('#003838')),
    'redarrow': (rgb('#e0201e'), WHITE, rgb('#6a0000')),
    'silverarrow': (rgb('#c0c0c0'), rgb('#30323a'), rgb('#8a8a8a')),
    'Silverarrow': (rgb('#c0c0c0'), rgb('#1d3b66'), rgb('#2e2e34')),
    'navyarrow': (rgb('#000080'), WHITE, rgb('#00002e')),
    'olivearrow': (rgb('#808000'), WHITE, rgb('#363600')),
    'greenarrow': (rgb('#008000'), WHITE, rgb('#002e00')),
}


def draw_arrows(work):
    for name, (base, glyph, edge) in ARROWS.items():
        for n, direction in (('1', -1), ('2', 1)):
            c = Canvas(24, 24)

            def face(x, y, base=base):
                t = (y - 1) / 22.0
                return mix(mix(base, WHITE, 0.35), scale(base, 0.8), smooth(0.0, 1.0, t))
            c.paint(disc(12, 12, 11.5, edge), ss=4)
            c.paint(lambda x, y, face=face: (face(x, y) + (1.0,)) if math.hypot(x - 12, y - 12) <= 10.2 else None, ss=4)

            def tri(x, y, glyph=glyph, direction=direction):
                u = (x - 12) * direction  # along the pointing direction
                v = y - 12
                # triangle: tip at u=5.5, back edge at u=-3.5, half-height 6.5
                if u < -3.5 or u > 5.5:
                    return None
                if abs(v) > 6.5 * (5.5 - u) / 9.0:
                    return None
                return glyph + (1.0,)
            c.paint(tri, ss=4)
            c.save(os.path.join(work, '%s%s.pam' % (name, n)))


# ---------------------------------------------------------------- skins

T = 128


class TileNoise:
    """Value noise that repeats every `size` pixels in x and y."""

    def __init__(self, seed, cells_x, cells_y=None, size_x=T, size_y=T):
        self.cx, self.cy = cells_x, cells_y or cells_x
        self.sx, self.sy = size_x, size_y
        rnd = random.Random(seed)
        self.v = [[rnd.random() for _ in range(self.cx)] for _ in range(self.cy)]

    def __call__(self, x, y):
        fx = (x / self.sx) * self.cx
        fy = (y / self.sy) * self.cy
        ix, iy = int(math.floor(fx)), int(math.floor(fy))
        tx, ty = fx - ix, fy - iy
        tx = tx * tx * (3 - 2 * tx)
        ty = ty * ty * (3 - 2 * ty)
        x0, x1 = ix % self.cx, (ix + 1) % self.cx
        y0, y1 = iy % self.cy, (iy + 1) % self.cy
        a = self.v[y0][x0] + (self.v[y0][x1] - self.v[y0][x0]) * tx
        b = self.v[y1][x0] + (self.v[y1][x1] - self.v[y1][x0]) * tx
        return a + (b - a) * ty


class Fbm:
    def __init__(self, seed, cells_x, octaves=4, cells_y=None, size_x=T, size_y=T):
        cy = cells_y or cells_x
        self.layers = [TileNoise(seed + i * 101, cells_x << i, cy << i, size_x, size_y)
                       for i in range(octaves)]

    def __call__(self, x, y):
        total, amp, norm_ = 0.0, 1.0, 0.0
        for layer in self.layers:
            total += layer(x, y) * amp
            norm_ += amp
            amp *= 0.5
        return total / norm_


def height_shade(hf, w, h, light=(-1.0, -1.0), strength=2.0):
    """Lambert shading of a periodic height field stored as rows."""
    lx, ly = light
    ln = math.hypot(lx, ly)
    out = [[0.0] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            gx = hf[y][(x + 1) % w] - hf[y][(x - 1) % w]
            gy = hf[(y + 1) % h][x] - hf[(y - 1) % h][x]
            nx, ny, nz = -gx * strength, -gy * strength, 1.0
            d = math.sqrt(nx * nx + ny * ny + nz * nz)
            out[y][x] = (nx * lx / ln * 0.7 + ny * ly / ln * 0.7 + nz * 0.7) / d
    return out


def ramp(stops, t):
    t = clamp(t)
    for i in range(len(stops) - 1):
        t0, c0 = stops[i]
        t1, c1 = stops[i + 1]
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 0.0)
    return stops[-1][1]


def skin_default():
    n = Fbm(10, 4, 3)
    deep, light = rgb('#1c1f45'), rgb('#2c2f66')

    def fn(x, y):
        base = mix(deep, light, n(x, y) * 0.8)
        s = (x + y) % 16
        if s < 1.0 or s > 15.5:
            base = mix(base, rgb('#5b55c9'), 0.35)
        elif s < 2.0:
            base = mix(base, rgb('#0e1030'), 0.25)
        return base
    return T, T, fn


def skin_logo():
    n = Fbm(20, 4, 3)
    rnd = random.Random(21)
    rings = []
    palette = list(BALL_COLOURS.values())
    for i in range(9):  # one ring per cell of a jittered 3x3 grid
        gx, gy = (i % 3) * T / 3 + (i // 3) * 14, (i // 3) * T / 3
        rings.append((gx + rnd.uniform(-6, 6), gy + rnd.uniform(-6, 6), rnd.uniform(9, 15), palette[i % 5]))

    def fn(x, y):
        col = mix(rgb('#25285a'), rgb('#30346e'), n(x, y))
        for (rx, ry, rr, rc) in rings:
            dx = (x - rx + T / 2) % T - T / 2
            dy = (y - ry + T / 2) % T - T / 2
            d = math.hypot(dx, dy)
            if d < rr:
                col = mix(col, rc, 0.12 if d < rr - 1.6 else 0.30)
                if d < rr * 0.55:
                    col = mix(col, WHITE, 0.10)
        return col
    return T, T, fn


def skin_planks():
    grain = Fbm(30, 2, 3, cells_y=16)
    fine = TileNoise(31, 32, 64)
    rnd = random.Random(32)
    tones = [rnd.uniform(-0.12, 0.12) for _ in range(4)]
    joints = [rnd.randrange(8, 120) for _ in range(4)]
    dark, mid, light = rgb('#5a3217'), rgb('#9a6332'), rgb('#c38a4f')

    def fn(x, y):
        p = y // 32
        yy = y % 32
        g = grain(x + p * 37, y)
        rings = 0.5 + 0.5 * math.sin((yy + g * 22 + p * 5) * 0.9)
        t = clamp(0.45 + tones[p] + (rings - 0.5) * 0.35 + (fine(x, y) - 0.5) * 0.15)
        col = ramp([(0, dark), (0.5, mid), (1, light)], t)
        if yy == 0:
            col = scale(col, 0.45)
        elif yy == 1:
            col = mix(col, WHITE, 0.12)
        elif yy == 31:
            col = scale(col, 0.75)
        if x == joints[p]:
            col = scale(col, 0.45)
        elif x == (joints[p] + 1) % T:
            col = mix(col, WHITE, 0.1)
        return col
    return T, T, fn


def skin_blue():
    brush = Fbm(40, 2, 3, cells_y=64)
    soft = Fbm(41, 2, 2)

    def fn(x, y):
        t = brush(x, y) * 0.3 + soft(x, y) * 0.7
        col = ramp([(0, rgb('#0f3275')), (0.5, rgb('#1a4fa8')), (1, rgb('#3470d2'))], t)
        return col
    return T, T, fn


def skin_splash1():
    """Paint splats in several blues, each with a darker watercolour rim."""
    n = Fbm(50, 3, 3)
    rnd = random.Random(51)
    out, drops = [], []
    colours = ('#8cc8f2', '#1b4f9c', '#5aa6e8', '#bfe3ff', '#2f7fd0', '#123f85', '#7ab8ee', '#4d93dd')
    for i, colour in enumerate(colours):  # jittered 3x3 layout, one cell left empty
        waves = [(k, rnd.uniform(0.06, 0.14) * 2.0 / k, rnd.uniform(0, 2 * math.pi)) for k in (2, 3, 5, 7)]
        sx = (i % 3) * T / 3 + (i // 3) * 17 + rnd.uniform(-8, 8)
        sy = (i // 3) * T / 3 + rnd.uniform(-8, 8)
        r0 = rnd.uniform(10, 18)
        out.append((sx, sy, r0, rgb(colour), waves))
        for _ in range(3):  # droplets thrown off the splat
            ang, dist = rnd.uniform(0, 2 * math.pi), rnd.uniform(1.3, 1.9)
            drops.append((sx + math.cos(ang) * r0 * dist, sy + math.sin(ang) * r0 * dist,
                          rnd.uniform(1.5, 3.2), rgb(colour)))

    def wrap(d):
        return (d + T / 2) % T - T / 2

    def fn(x, y):
        col = mix(rgb('#2562b5'), rgb('#3373c4'), n(x, y))
        for (sx, sy, r0, sc, waves) in out:
            dx, dy = wrap(x - sx), wrap(y - sy)
            d = math.hypot(dx, dy)
            if d > r0 * 1.6:
                continue
            th = math.atan2(dy, dx)
            r = r0 * (1 + sum(a * math.sin(k * th + ph) for k, a, ph in waves))
            if d < r:
                rim = smooth(r - 2.5, r, d)
                col = mix(col, sc, 0.55 + 0.15 * (1 - d / r))
                col = mix(col, scale(sc, 0.7), rim * 0.5)
        for (sx, sy, r, sc) in drops:
            if math.hypot(wrap(x - sx), wrap(y - sy)) < r:
                col = mix(col, sc, 0.6)
        return col
    return T, T, fn


def skin_green():
    n = Fbm(60, 4, 3)

    def fn(x, y):
        twill = ((x + 2 * y) % 6) < 3
        col = mix(rgb('#0b3a22'), rgb('#14573a'), n(x, y))
        return mix(col, rgb('#1e6b48'), 0.25) if twill else col
    return T, T, fn


def skin_green6():
    mottle = Fbm(70, 3, 3)
    fibres = TileNoise(71, 128)

    def fn(x, y):
        t = mottle(x, y) * 0.7 + fibres(x, y) * 0.3
        return ramp([(0, rgb('#135c33')), (0.5, rgb('#1d7a45')), (1, rgb('#2b9157'))], t)
    return T, T, fn


def skin_black():
    n = Fbm(80, 4, 2)

    def fn(x, y):
        cx, cy = (x // 4) % 2, (y // 4) % 2
        u, v = x % 4, y % 4
        if cx == cy:
            k = 0.6 + 0.4 * math.sin(math.pi * (v + 0.5) / 4)
        else:
            k = 0.6 + 0.4 * math.sin(math.pi * (u + 0.5) / 4)
        base = 0.05 + 0.055 * k + 0.02 * n(x, y)
        return (base, base, base * 1.12)
    return T, T, fn


def skin_skish():
    n = Fbm(90, 4, 2)

    def glow(d, width):
        return math.exp(-(d * d) / (width * width))

    def fn(x, y):
        col = mix(rgb('#0b0a18'), rgb('#15122b'), n(x, y))
        y1 = 40 + 14 * math.sin(2 * math.pi * x / T * 2)
        y2 = 100 + 12 * math.sin(2 * math.pi * x / T * 3 + 1.0)
        d1 = min(abs(y - y1), abs(y - y1 - T), abs(y - y1 + T))
        d2 = min(abs(y - y2), abs(y - y2 - T), abs(y - y2 + T))
        col = add(col, scale(rgb('#ff2fb4'), glow(d1, 4.5) * 0.8))
        col = add(col, scale(WHITE, glow(d1, 0.8) * 0.7))
        col = add(col, scale(rgb('#19e6ff'), glow(d2, 4.5) * 0.75))
        col = add(col, scale(WHITE, glow(d2, 0.8) * 0.6))
        return tuple(clamp(c) for c in col)
    return T, T, fn


def skin_sidewalk():
    n = Fbm(100, 4, 4)
    fleck = TileNoise(101, 128)

    def fn(x, y):
        t = n(x, y)
        s = fleck(x, y)
        col = mix(rgb('#24242c'), rgb('#34343f'), t)
        if s > 0.86:
            col = mix(col, rgb('#6a6a7a'), 0.6)
        elif s < 0.12:
            col = scale(col, 0.7)
        # slab joints with a faint neon reflection
        jx, jy = x % 64, y % 64
        if jx == 0 or jy == 0:
            col = rgb('#101015')
        elif jx == 1 or jy == 1:
            col = mix(col, rgb('#19e6ff'), 0.22)
        elif jx == 63 or jy == 63:
            col = mix(col, rgb('#ff2fb4'), 0.14)
        return col
    return T, T, fn


def shaded_skin(heights, colour_fn, strength):
    w, h = len(heights[0]), len(heights)
    sh = height_shade(heights, w, h, strength=strength)

    def fn(x, y):
        return colour_fn(x, y, sh[y][x], heights[y][x])
    return w, h, fn


def skin_stucco():
    broad = Fbm(110, 4, 3)
    peel = Fbm(111, 16, 2)
    hf = [[broad(x, y) * 0.45 + math.pow(peel(x, y), 2.5) * 0.9 for x in range(T)] for y in range(T)]

    def colour(x, y, s, hv):
        base = mix(rgb('#c79e74'), rgb('#e2c49d'), broad(x, y))
        return tuple(clamp(c * (0.62 + 0.48 * s)) for c in base)
    return shaded_skin(hf, colour, 4.0)


def skin_linnen():
    rows = TileNoise(120, 1, 64, T, T)
    cols = TileNoise(121, 64, 1, T, T)
    slub = Fbm(122, 4, 2)

    def fn(x, y):
        weft = 0.5 + 0.5 * math.cos(math.pi * (y % 3) / 1.5)
        warp = 0.5 + 0.5 * math.cos(math.pi * (x % 3) / 1.5)
        over = ((x // 3) + (y // 3)) % 2
        thread = weft * (0.55 + 0.45 * rows(x, y)) if over else warp * (0.55 + 0.45 * cols(x, y))
        t = 0.35 + 0.45 * thread + 0.2 * slub(x, y)
        return ramp([(0, rgb('#a89878')), (0.6, rgb('#d6cbb2')), (1, rgb('#ece4d2'))], t)
    return T, T, fn


def skin_reflect():
    warp = Fbm(130, 2, 3)

    def fn(x, y):
        w = warp(x, y)
        u = (x + y) / T + (w - 0.5) * 0.6
        band = 0.5 + 0.5 * math.sin(2 * math.pi * u)
        sheen = math.pow(0.5 + 0.5 * math.sin(2 * math.pi * u * 2 + 0.8), 12)
        col = ramp([(0, rgb('#9c1f5a')), (0.5, rgb('#d83f86')), (1, rgb('#ff9cc8'))], band)
        return mix(col, rgb('#fff0f7'), sheen * 0.75)
    return T, T, fn


def skin_wall():
    rnd = random.Random(140)
    tones = [[rnd.uniform(-0.14, 0.14) for _ in range(4)] for _ in range(8)]
    n = Fbm(141, 8, 3)
    grit = TileNoise(142, 128)

    def fn(x, y):
        row = y // 16
        yy = y % 16
        xs = (x + (16 if row % 2 else 0)) % T
        brick = xs // 32
        xx = xs % 32
        if yy < 2 or xx < 2:
            m = 0.72 + 0.1 * grit(x, y)
            return (m, m * 0.97, m * 0.92)
        t = 0.5 + tones[row][brick] + (n(x, y) - 0.5) * 0.5
        col = ramp([(0, rgb('#6e2418')), (0.5, rgb('#a3412a')), (1, rgb('#c8643f'))], t)
        if grit(x, y) > 0.85:
            col = scale(col, 0.8)
        if yy == 2 or xx == 2:
            col = mix(col, WHITE, 0.12)
        elif yy == 15 or xx == 31:
            col = scale(col, 0.7)
        return col
    return T, T, fn


def skin_water():
    a = Fbm(150, 3, 3)
    b = Fbm(151, 4, 2)
    depth = Fbm(152, 2, 2)

    def fn(x, y):
        r1 = 1.0 - abs(a(x, y) * 2 - 1)
        r2 = 1.0 - abs(b(x, y) * 2 - 1)
        c = math.pow(r1, 10) * 0.8 + math.pow(r2, 14) * 0.6
        col = mix(rgb('#0a4d7a'), rgb('#1c89b3'), depth(x, y))
        return mix(col, rgb('#c9f6ff'), clamp(c))
    return T, T, fn


def skin_bump2():
    """Bright bubble bumps in a staggered grid."""
    def fn(x, y):
        row = y // 16
        ox = 8 if row % 2 else 0
        cx = ((x - ox) // 16) * 16 + 8 + ox
        cy = row * 16 + 8
        dx, dy = (x + 0.5 - cx) / 6.6, (y + 0.5 - cy) / 6.6
        r2 = dx * dx + dy * dy
        base = rgb('#5fb832')
        if r2 >= 1.0:
            shade = 0.75 + 0.1 * math.sin(x * 0.4) * math.sin(y * 0.4)
            return scale(rgb('#3f8f1e'), shade)
        nz = math.sqrt(1 - r2)
        n = (dx, dy, nz)
        diff = max(0.0, dot(n, LIGHT))
        col = mix(scale(base, 0.45), mix(base, rgb('#d4f06a'), 0.4), diff)
        shine = math.pow(max(0.0, dot(n, HALF)), 30)
        return mix(col, WHITE, shine * 0.8)
    return T, T, fn


def skin_corn():
    """Rows of cartoon corn kernels."""
    w, h = 128, 96
    rnd = random.Random(160)
    tone = [[rnd.uniform(-0.08, 0.08) for _ in range(8)] for _ in range(8)]

    def fn(x, y):
        row = y // 12
        ox = 8 if row % 2 else 0
        col_i = ((x - ox) // 16) % 8
        cx = ((x - ox) // 16) * 16 + 8 + ox
        cy = row * 12 + 6
        dx, dy = (x + 0.5 - cx) / 7.0, (y + 0.5 - cy) / 5.3
        # rounded-square kernel
        r = (abs(dx) ** 3 + abs(dy) ** 3) ** (1 / 3)
        if r >= 1.0:
            return rgb('#8a5a0a')
        nz = math.sqrt(max(0.0, 1 - min(1.0, dx * dx + dy * dy)))
        n = norm((dx, dy, nz + 0.3))
        diff = max(0.0, dot(n, LIGHT))
        base = mix(rgb('#f2b705'), rgb('#ffe066'), 0.5 + tone[row][col_i] * 4)
        col = mix(scale(base, 0.55), base, clamp(diff * 1.2))
        shine = math.pow(max(0.0, dot(n, HALF)), 20)
        return mix(col, rgb('#fffbe0'), shine * 0.7)
    return w, h, fn


SKINS = {
    'default': skin_default, 'logo': skin_logo, 'planks': skin_planks,
    'blue': skin_blue, 'splash1': skin_splash1, 'green': skin_green,
    'green6': skin_green6, 'black': skin_black, 'skish': skin_skish,
    'sidewalk': skin_sidewalk, 'stucco': skin_stucco, 'Linnen': skin_linnen,
    'Reflect': skin_reflect, 'wall': skin_wall, 'water': skin_water,
    'bump2': skin_bump2, 'corn': skin_corn,
}


def draw_skins(work):
    for name, maker in SKINS.items():
        w, h, fn = maker()
        c = Canvas(w, h)
        c.field(fn)
        c.save(os.path.join(work, 'skin_%s.pam' % name))


# ---------------------------------------------------------------- cursor


def draw_dauber():
    """32x32 dauber, tip at the lower left; returns (canvas, hotspot)."""
    c = Canvas(32, 32)
    tip = (4.5, 27.5)
    axis = norm((1.0, -1.0, 0.0))
    ax, ay = axis[0], axis[1]
    px, py = -ay, ax  # across the bottle

    def along(u):
        return tip[0] + ax * u, tip[1] + ay * u

    pink = rgb('#e0287a')
    ink = rgb('#ff3d8f')
    outline = rgb('#1a1020')

    def part(u0, u1, rad, colour, glossy=True, alpha=1.0, grow=0.0):
        a, b = along(u0), along(u1)

        def fn(x, y):
            d, t = capsule_sdf(x, y, a[0], a[1], b[0], b[1])
            if d > rad + grow:
                return None
            if grow > 0:
                return outline + (1.0,)
            v = ((x - a[0]) * px + (y - a[1]) * py) / rad  # -1..1 across
            k = 0.55 + 0.45 * math.cos(clamp(v, -1, 1) * 1.3 + 0.55)
            col = mix(scale(colour, 0.55), colour, k)
            if glossy and -0.55 < v < -0.2:
                col = mix(col, WHITE, 0.45)
            return col + (alpha,)
        return fn

    pieces = [
        (2.8, 4.4, 4.2, ink, False),          # foam tip
        (7.0, 9.0, 4.9, rgb('#f4f4f8'), True),  # collar
        (11.0, 25.0, 6.3, pink, True),       # bottle
        (26.5, 28.0, 3.2, rgb('#f4f4f8'), True),  # cap nub
    ]
    for (u0, u1, rad, col, glossy) in pieces:
        c.paint(part(u0, u1, rad, col, glossy, grow=1.0), ss=4)
    for (u0, u1, rad, col, glossy) in pieces:
        c.paint(part(u0, u1, rad, col, glossy), ss=4)
    # label band on the bottle
    c.paint(part(16.0, 17.6, 6.3, rgb('#ffd23f'), True), ss=4)
    # the ink dot just under the tip
    c.paint(disc(3.2, 28.8, 2.0, ink, 0.9), ss=4)
    return c, (2, 29)


def write_cursor(canvas, hotspot, path):
    w, h = canvas.w, canvas.h
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up rows
        bits = 0
        row_mask = bytearray()
        for x in range(w):
            r, g, b, a = canvas.px[y * w + x]
            a8 = int(round(clamp(a) * 255))
            if a8 < 8:
                a8 = 0
            if a8 == 0:
                r = g = b = 0.0
            xor += bytes((int(round(clamp(b) * 255)), int(round(clamp(g) * 255)),
                          int(round(clamp(r) * 255)), a8))
            bits = (bits << 1) | (1 if a8 == 0 else 0)
            if x % 8 == 7:
                row_mask.append(bits)
                bits = 0
        while len(row_mask) % 4:
            row_mask.append(0)
        mask += row_mask
    dib = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    body = dib + bytes(xor) + bytes(mask)
    head = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', w, h, 0, 0, hotspot[0], hotspot[1], len(body), 6 + 16)
    with open(path, 'wb') as f:
        f.write(head + entry + body)


# ---------------------------------------------------------------- main


def main():
    work, program = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    draw_balls(work)
    draw_logo_balls(work)
    draw_machine(work)
    draw_patterns(work)
    draw_bingo_frames(work)
    draw_logo_back(work)
    draw_winnerbox(work)
    draw_thanks(work)
    draw_arrows(work)
    draw_skins(work)
    cur, hot = draw_dauber()
    cur.save(os.path.join(work, 'dab4.pam'))
    write_cursor(cur, hot, os.path.join(program, 'dab4.cur'))


if __name__ == '__main__':
    main()
