#!/usr/bin/env python3
"""Draws Orvik's artwork into res/: tool cursors, toolbar buttons, the document icon, the about-box
picture and the two sample pictures.

Everything is drawn here from scratch with the Python standard library only, and the
output is deterministic, so running the script again reproduces the committed files
byte for byte.

Usage: scripts/make_art.py [output-dir]   (default: the repository's res/)
"""

import math
import os
from collections import Counter
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


# ---------------------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------------------


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = 'wb' if isinstance(data, bytes) else 'w'
    with open(path, mode) as f:
        f.write(data)


def xpm_text(name, rows, colours, hotspot=None):
    """rows: equal-length strings, one character per pixel; colours: char -> XPM colour."""
    height = len(rows)
    width = len(rows[0])
    for r in rows:
        assert len(r) == width, (name, r)
    used = set(''.join(rows))
    keys = [k for k in colours if k in used]
    assert used <= set(keys), (name, used - set(keys))
    values = f'{width} {height} {len(keys)} 1'
    if hotspot is not None:
        values += f' {hotspot[0]} {hotspot[1]}'
    lines = ['/* XPM */', f'static char *{name}[] = {{', f'"{values}",']
    lines += [f'"{k} c {colours[k]}",' for k in keys]
    lines += [f'"{r}",' for r in rows]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    return '\n'.join(lines) + '\n'


def _png_chunk(tag, data):
    return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data))


def _png(width, height, colour_type, raw_rows, palette=None):
    ihdr = struct.pack('>IIBBBBB', width, height, 8, colour_type, 0, 0, 0)
    out = b'\x89PNG\r\n\x1a\n' + _png_chunk(b'IHDR', ihdr)
    if palette is not None:
        out += _png_chunk(b'PLTE', b''.join(bytes(c) for c in palette))
    data = b''.join(b'\x00' + row for row in raw_rows)
    out += _png_chunk(b'IDAT', zlib.compress(data, 9))
    return out + _png_chunk(b'IEND', b'')


def png_rgba(width, height, pixels):
    """pixels[y][x] = (r, g, b, a)."""
    rows = [bytes(v for px in row for v in px) for row in pixels]
    return _png(width, height, 6, rows)


def png_indexed(width, height, palette, indices):
    """palette: list of (r, g, b), at most 256; indices[y][x]."""
    assert len(palette) <= 256
    return _png(width, height, 3, [bytes(row) for row in indices], palette=palette)


def bmp_file(width, height, bits, rows_top_down, palette=None):
    """An uncompressed BITMAPINFOHEADER BMP; rows are written bottom-up, padded to 4 bytes."""
    bpp = bits // 8
    stride = (width * bpp + 3) // 4 * 4
    body = bytearray()
    for row in reversed(rows_top_down):
        assert len(row) == width * bpp
        body += row + bytes(stride - width * bpp)
    colours = 0 if palette is None else len(palette)
    table = b'' if palette is None else b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(body), 2835, 2835,
                       colours, colours)
    head = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    return head + info + table + bytes(body)


# ---------------------------------------------------------------------------------------
# Small helpers: noise, colours, the default palette, a tiny bitmap font
# ---------------------------------------------------------------------------------------


def _hash(ix, iy, seed):
    h = (ix * 374761393 + iy * 668265263 + seed * 2147483647) & 0xffffffff
    h = ((h ^ (h >> 13)) * 1274126177) & 0xffffffff
    return ((h ^ (h >> 16)) & 0xffff) / 65535.0


def noise(x, y, seed=0):
    """Smooth value noise in 0..1."""
    ix, iy = math.floor(x), math.floor(y)
    fx, fy = x - ix, y - iy
    fx = fx * fx * (3 - 2 * fx)
    fy = fy * fy * (3 - 2 * fy)
    a = _hash(ix, iy, seed)
    b = _hash(ix + 1, iy, seed)
    c = _hash(ix, iy + 1, seed)
    d = _hash(ix + 1, iy + 1, seed)
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy


def fbm(x, y, seed=0, octaves=4):
    total, amp, norm = 0.0, 1.0, 0.0
    for o in range(octaves):
        total += amp * noise(x, y, seed + 17 * o)
        norm += amp
        x, y, amp = x * 2.03, y * 2.03, amp * 0.5
    return total / norm


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(lerp(a, b, t) for a, b in zip(c1, c2))


def ramp(stops, t):
    """stops: [(position, colour)] in increasing position."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def smoothstep(e0, e1, x):
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(v + 0.5)


def hsv(h, s, v):
    """h in 0..1 (wraps), s and v in 0..1; returns 0..255 floats."""
    h = (h % 1.0) * 6
    i = int(h)
    f = h - i
    p, q, t = v * (1 - s), v * (1 - s * f), v * (1 - s * (1 - f))
    r, g, b = [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][i % 6]
    return (r * 255, g * 255, b * 255)


def default_palette():
    pal = [(42 * (n // 36), 42 * ((n // 6) % 6), 42 * (n % 6)) for n in range(216)]
    pal += [(6 * d, 6 * d, 6 * d) for d in range(40)]
    return pal


class Nearest:
    """Nearest palette entry by squared RGB distance; ties go to the lower index."""

    def __init__(self, palette):
        self.palette = palette
        self.cache = {}

    def __call__(self, rgb):
        key = tuple(clamp8(v) for v in rgb)
        hit = self.cache.get(key)
        if hit is None:
            r, g, b = key
            best, hit = 1 << 30, 0
            for i, (pr, pg, pb) in enumerate(self.palette):
                d = (pr - r) ** 2 + (pg - g) ** 2 + (pb - b) ** 2
                if d < best:
                    best, hit = d, i
            self.cache[key] = hit
        return hit


FONT = {
    'A': ['.###.', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
    'B': ['####.', '#...#', '#...#', '####.', '#...#', '#...#', '####.'],
    'C': ['.###.', '#...#', '#....', '#....', '#....', '#...#', '.###.'],
    'D': ['####.', '#...#', '#...#', '#...#', '#...#', '#...#', '####.'],
    'E': ['#####', '#....', '#....', '####.', '#....', '#....', '#####'],
    'F': ['#####', '#....', '#....', '####.', '#....', '#....', '#....'],
    'G': ['.###.', '#...#', '#....', '#.###', '#...#', '#...#', '.####'],
    'H': ['#...#', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
    'I': ['.###.', '..#..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    'J': ['..###', '...#.', '...#.', '...#.', '...#.', '#..#.', '.##..'],
    'K': ['#...#', '#..#.', '#.#..', '##...', '#.#..', '#..#.', '#...#'],
    'L': ['#....', '#....', '#....', '#....', '#....', '#....', '#####'],
    'M': ['#...#', '##.##', '#.#.#', '#.#.#', '#...#', '#...#', '#...#'],
    'N': ['#...#', '#...#', '##..#', '#.#.#', '#..##', '#...#', '#...#'],
    'O': ['.###.', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    'P': ['####.', '#...#', '#...#', '####.', '#....', '#....', '#....'],
    'Q': ['.###.', '#...#', '#...#', '#...#', '#.#.#', '#..#.', '.##.#'],
    'R': ['####.', '#...#', '#...#', '####.', '#.#..', '#..#.', '#...#'],
    'S': ['.####', '#....', '#....', '.###.', '....#', '....#', '####.'],
    'T': ['#####', '..#..', '..#..', '..#..', '..#..', '..#..', '..#..'],
    'U': ['#...#', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    'V': ['#...#', '#...#', '#...#', '#...#', '#...#', '.#.#.', '..#..'],
    'W': ['#...#', '#...#', '#...#', '#.#.#', '#.#.#', '#.#.#', '.#.#.'],
    'X': ['#...#', '#...#', '.#.#.', '..#..', '.#.#.', '#...#', '#...#'],
    'Y': ['#...#', '#...#', '.#.#.', '..#..', '..#..', '..#..', '..#..'],
    'Z': ['#####', '....#', '...#.', '..#..', '.#...', '#....', '#####'],
    '0': ['.###.', '#...#', '#..##', '#.#.#', '##..#', '#...#', '.###.'],
    '1': ['..#..', '.##..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    '2': ['.###.', '#...#', '....#', '...#.', '..#..', '.#...', '#####'],
    '3': ['#####', '...#.', '..#..', '...#.', '....#', '#...#', '.###.'],
    '4': ['...#.', '..##.', '.#.#.', '#..#.', '#####', '...#.', '...#.'],
    '5': ['#####', '#....', '####.', '....#', '....#', '#...#', '.###.'],
    '6': ['..##.', '.#...', '#....', '####.', '#...#', '#...#', '.###.'],
    '7': ['#####', '....#', '...#.', '..#..', '.#...', '.#...', '.#...'],
    '8': ['.###.', '#...#', '#...#', '.###.', '#...#', '#...#', '.###.'],
    '9': ['.###.', '#...#', '#...#', '.####', '....#', '...#.', '.##..'],
    'r': ['.....', '.....', '#.##.', '##..#', '#....', '#....', '#....'],
    'v': ['.....', '.....', '#...#', '#...#', '#...#', '.#.#.', '..#..'],
    'i': ['..#..', '.....', '.##..', '..#..', '..#..', '..#..', '.###.'],
    'k': ['#....', '#....', '#..#.', '#.#..', '##...', '#.#..', '#..#.'],
    'x': ['.....', '.....', '#...#', '.#.#.', '..#..', '.#.#.', '#...#'],
    '-': ['.....', '.....', '.....', '.###.', '.....', '.....', '.....'],
    ' ': ['.....'] * 7,
}


def text_pixels(text, scale=1):
    """Yields (x, y) of the set pixels of text in the 5 x 7 font, 1 pixel between letters."""
    for n, ch in enumerate(text):
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, c in enumerate(line):
                if c == '#':
                    for sy in range(scale):
                        for sx in range(scale):
                            yield (n * 6 + gx) * scale + sx, gy * scale + sy


def text_width(text, scale=1):
    return (len(text) * 6 - 1) * scale


# ---------------------------------------------------------------------------------------
# A character grid for the pixel art (cursors and toolbar buttons)
# ---------------------------------------------------------------------------------------


class Grid:
    def __init__(self, width, height, fill=' '):
        self.w, self.h = width, height
        self.cells = [[fill] * width for _ in range(height)]

    def get(self, x, y):
        return self.cells[y][x] if 0 <= x < self.w and 0 <= y < self.h else ' '

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.cells[y][x] = c

    def hline(self, x0, x1, y, c):
        for x in range(x0, x1 + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(y0, y1 + 1):
            self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def box(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            self.hline(x0, x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def blit(self, x0, y0, art):
        """Copies ASCII art; spaces are left alone."""
        for dy, row in enumerate(art):
            for dx, c in enumerate(row):
                if c != ' ':
                    self.set(x0 + dx, y0 + dy, c)

    def shape(self, inside, c, edge=None):
        """Fills the pixels whose centre satisfies inside(x, y); with edge, the pixels
        of the shape that touch an outside pixel get the edge character instead."""
        mask = [[inside(x, y) for x in range(self.w)] for y in range(self.h)]

        def m(x, y):
            return 0 <= x < self.w and 0 <= y < self.h and mask[y][x]

        for y in range(self.h):
            for x in range(self.w):
                if mask[y][x]:
                    border = edge is not None and not (m(x - 1, y) and m(x + 1, y) and m(x, y - 1)
                                                       and m(x, y + 1))
                    self.set(x, y, edge if border else c)

    def halo(self, ink, c):
        """Puts c on every empty pixel that touches an ink pixel (8-neighbourhood)."""
        marks = []
        for y in range(self.h):
            for x in range(self.w):
                if self.cells[y][x] == ' ' and any(
                        self.get(x + dx, y + dy) in ink for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                    marks.append((x, y))
        for x, y in marks:
            self.set(x, y, c)

    def rows(self):
        return [''.join(r) for r in self.cells]

    def doubled(self):
        """The grid at twice the size by the Scale2x rule: each cell becomes four, and a corner takes
        the colour of the two neighbours it lies between where they agree (and the other two
        differ), so diagonal edges come out as finer steps instead of doubled ones."""
        big = Grid(2 * self.w, 2 * self.h)
        for y in range(self.h):
            for x in range(self.w):
                p = self.cells[y][x]

                def at(dx, dy):
                    return self.cells[y + dy][x + dx] if 0 <= x + dx < self.w and 0 <= y + dy < self.h else p

                up, down, left, right = at(0, -1), at(0, 1), at(-1, 0), at(1, 0)
                corners = (
                    up if left == up and left != down and up != right else p,
                    right if up == right and up != left and right != down else p,
                    left if down == left and down != right and left != up else p,
                    down if right == down and right != up and down != left else p,
                )
                for i, c in enumerate(corners):
                    big.cells[2 * y + i // 2][2 * x + i % 2] = c
        return big


# ---------------------------------------------------------------------------------------
# Tool cursors: 32 x 32, black with a white halo, transparent elsewhere
# ---------------------------------------------------------------------------------------

CURSOR_COLOURS = {' ': 'None', '#': '#000000', '-': '#FFFFFF'}


def crosshair(g, cx, cy):
    """A thin cross-hair whose centre pixel is (cx, cy), with a gap around the centre."""
    g.hline(cx - 6, cx - 2, cy, '#')
    g.hline(cx + 2, cx + 6, cy, '#')
    g.vline(cx, cy - 6, cy - 2, '#')
    g.vline(cx, cy + 2, cy + 6, '#')
    g.set(cx, cy, '#')


def cursor_zoom():
    g = Grid(32, 32)
    cx, cy = 7, 6
    g.shape(lambda x, y: 4.2 <= math.hypot(x - cx, y - cy) <= 5.6, '#')

    def handle(x, y):
        along = ((x - cx) + (y - cy)) / 2.0
        across = abs((x - cx) - (y - cy))
        return 4.6 <= along <= 11.0 and across <= 1.8

    g.shape(handle, '#')
    g.set(cx, cy, '#')
    return g, (cx, cy)


def cursor_brush():
    g = Grid(32, 32)
    crosshair(g, 7, 8)
    return g, (7, 8)


def cursor_select():
    g = Grid(32, 32)
    crosshair(g, 7, 8)
    x0, y0, x1, y1 = 15, 16, 25, 24
    for x in range(x0, x1 + 1):
        for y in range(y0, y1 + 1):
            if (x in (x0, x1) or y in (y0, y1)) and (x + y) % 2 == 1:
                g.set(x, y, '#')
    return g, (7, 8)


def cursor_line():
    g = Grid(32, 32)
    crosshair(g, 7, 8)
    g.line(15, 25, 25, 15, '#')
    return g, (7, 8)


def cursor_rect():
    g = Grid(32, 32)
    crosshair(g, 7, 8)
    g.frame(15, 16, 25, 24, '#')
    return g, (7, 8)


def tipped_bucket(g, cx, cy, r, body, ink, paint, handle):
    """A bucket tipped over to the left: a square standing on a corner, its mouth on the
    upper left side filled with paint, its handle (a list of pixels, relative to the centre)
    hanging from the lower right side."""
    g.shape(lambda x, y: abs(x - cx) + abs(y - cy) <= r, body)
    for i in range(r + 1):
        for x, y in ((cx - r + i, cy - i), (cx + i, cy - r + i), (cx + r - i, cy + i),
                     (cx - i, cy + r - i)):
            g.set(x, y, ink)
    for i in range(1, r):
        g.set(cx - r + i + 1, cy - i, paint)
    for dx, dy in handle:
        g.set(cx + dx, cy + dy, ink)


def cursor_fill():
    g = Grid(32, 32)
    cx, cy, r = 9, 6, 6
    tipped_bucket(g, cx, cy, r, 'o', '#', '#',
                  [(6, 2), (7, 3), (8, 4), (8, 5), (7, 6), (6, 7), (5, 8), (4, 8), (3, 7), (2, 6)])
    for i in range(1, r - 1):
        g.set(cx - r + i + 2, cy - i, '#')
    # paint running over the lip and a drop falling from it; the drop's tip is the hot spot
    for x, y in ((2, 6), (2, 7), (2, 8), (2, 9), (1, 10), (2, 10), (3, 10), (1, 11), (2, 11),
                 (3, 11), (2, 12)):
        g.set(x, y, '#')
    for y in range(g.h):
        for x in range(g.w):
            if g.cells[y][x] == 'o':
                g.cells[y][x] = '-'
    return g, (2, 12)


def cursor_move():
    g = Grid(32, 32)
    cx, cy, reach = 8, 8, 7
    g.hline(cx - reach, cx + reach, cy, '#')
    g.vline(cx, cy - reach, cy + reach, '#')
    for d in range(1, 3):
        depth = reach - d
        g.hline(cx - d, cx + d, cy - depth, '#')
        g.hline(cx - d, cx + d, cy + depth, '#')
        g.vline(cx - depth, cy - d, cy + d, '#')
        g.vline(cx + depth, cy - d, cy + d, '#')
    return g, (cx, cy)


def cursor_with(accessory):
    """A cross-hair whose centre is the hot spot (7, 8), with a small picture of the tool below
    right of it."""
    def draw():
        g = Grid(32, 32)
        crosshair(g, 7, 8)
        accessory(g)
        return g, (7, 8)
    return draw


def accessory_ellipse(g):
    g.shape(lambda x, y: abs(math.hypot((x - 20) / 6.0, (y - 20) / 4.2) - 1.0) < 0.16, '#')


def accessory_polygon(g):
    for a, b in (((15, 24), (18, 15)), ((18, 15), (25, 17)), ((25, 17), (24, 25)), ((24, 25), (15, 24))):
        g.line(a[0], a[1], b[0], b[1], '#')


def accessory_spray(g):
    for x, y in ((16, 16), (19, 15), (22, 17), (17, 19), (20, 19), (24, 20), (16, 22), (19, 23), (22, 22),
                 (25, 24), (18, 26), (21, 25)):
        g.set(x, y, '#')


def accessory_text(g):
    g.hline(15, 25, 15, '#')
    g.vline(15, 15, 17, '#')
    g.vline(25, 15, 17, '#')
    g.vline(20, 15, 25, '#')
    g.hline(18, 22, 25, '#')


def accessory_eraser(g):
    g.frame(15, 17, 25, 24, '#')
    g.vline(18, 17, 24, '#')


def accessory_replace(g):
    g.frame(15, 15, 20, 20, '#')
    g.box(21, 21, 26, 26, '#')
    g.line(21, 16, 24, 19, '#')
    g.hline(22, 24, 19, '#')


def cursor_picker():
    """An eyedropper lying from the lower left to the upper right; its tip is the hot spot."""
    g = Grid(32, 32)
    g.line(1, 14, 8, 7, '#')
    g.line(2, 14, 9, 7, '#')
    g.line(1, 13, 8, 6, '#')
    g.box(8, 4, 11, 7, '#')
    g.shape(lambda x, y: math.hypot(x - 12, y - 3) <= 2.3, '#')
    return g, (1, 14)


CURSORS = {
    'zoom': cursor_zoom,
    'brush': cursor_brush,
    'select': cursor_select,
    'line': cursor_line,
    'rect': cursor_rect,
    'fill': cursor_fill,
    'move': cursor_move,
    'eraser': cursor_with(accessory_eraser),
    'picker': cursor_picker,
    'ellipse': cursor_with(accessory_ellipse),
    'polygon': cursor_with(accessory_polygon),
    'spray': cursor_with(accessory_spray),
    'text': cursor_with(accessory_text),
    'replace': cursor_with(accessory_replace),
}


def make_cursor(name, double=False):
    """The cursor, or with `double` its drawing for screens of twice the pixels: the ink doubled,
    the halo around it one fine pixel wide; its hot spot is the top-left of the doubled hot pixel."""
    g, hot = CURSORS[name]()
    if double:
        g, hot = g.doubled(), (2 * hot[0], 2 * hot[1])
    g.halo('#', '-')
    assert g.get(*hot) == '#', f'{name}: the hot spot must be an ink pixel'
    suffix = '_2x' if double else ''
    return xpm_text(f'{name}_cursor{suffix}', g.rows(), CURSOR_COLOURS, hot), hot


# ---------------------------------------------------------------------------------------
# Toolbar buttons: 16 x 15, the 16 classic colours, transparent background
# ---------------------------------------------------------------------------------------

VGA = {
    ' ': 'None',
    'k': '#000000', 'r': '#800000', 'g': '#008000', 'o': '#808000',
    'n': '#000080', 'p': '#800080', 't': '#008080', 's': '#C0C0C0',
    'd': '#808080', 'R': '#FF0000', 'G': '#00FF00', 'Y': '#FFFF00',
    'B': '#0000FF', 'M': '#FF00FF', 'C': '#00FFFF', 'w': '#FFFFFF',
}


def art(rows):
    g = Grid(16, 15)
    assert len(rows) == 15, rows
    for r in rows:
        assert len(r) == 16, r
    g.blit(0, 0, rows)
    return g


def page(g, x0, y0, x1, y1, fold=3, lines=False):
    """A white sheet with its top right corner folded down, optionally with text lines."""
    g.box(x0, y0, x1, y1, 'w')
    g.frame(x0, y0, x1, y1, 'k')
    fx = x1 - fold
    for i in range(fold + 1):
        for x in range(fx + i + 1, x1 + 1):
            g.set(x, y0 + i, ' ')
    g.line(fx, y0, x1, y0 + fold, 'k')
    g.vline(fx, y0, y0 + fold, 'k')
    g.hline(fx, x1, y0 + fold, 'k')
    for i in range(2, fold):
        for x in range(fx + 1, fx + i):
            g.set(x, y0 + i, 'w')
    if lines:
        for y in range(y0 + 2, y1 - 1, 2):
            right = (fx - 2) if y <= y0 + fold else (x1 - 2)
            g.hline(x0 + 2, right, y, 'd')


def button_new():
    g = Grid(16, 15)
    page(g, 3, 0, 12, 14, fold=4)
    return g


def button_open():
    return art([
        '                ',
        '                ',
        '  kkkk          ',
        ' kwwwwk         ',
        ' kwoooowkkkkk   ',
        ' kwooooooooook  ',
        ' kwooooooooook  ',
        ' kwooooooooook  ',
        ' kwookkkkkkkkkkk',
        ' kwokYYYYYYYYYk ',
        ' kwkYYYYYYYYYk  ',
        ' kkYYYYYYYYYk   ',
        ' kkkkkkkkkkk    ',
        '                ',
        '                ',
    ])


def button_save():
    g = Grid(16, 15)
    g.box(1, 1, 14, 14, 'n')
    g.frame(1, 1, 14, 14, 'k')
    g.set(1, 14, ' ')
    g.set(2, 14, 'k')
    g.set(1, 13, 'k')
    g.box(4, 2, 11, 7, 'w')
    g.vline(3, 2, 7, 'k')
    g.vline(12, 2, 7, 'k')
    g.hline(3, 12, 8, 'k')
    g.hline(5, 10, 4, 'd')
    g.hline(5, 10, 6, 'd')
    g.box(4, 10, 11, 13, 's')
    g.frame(4, 10, 11, 14, 'k')
    g.vline(6, 11, 12, 'n')
    g.vline(7, 11, 12, 'n')
    return g


def button_cut():
    return art([
        '                ',
        '    k     k     ',
        '    kk   kk     ',
        '    kk   kk     ',
        '     kk kk      ',
        '     kk kk      ',
        '      kdk       ',
        '      kkk       ',
        '      k k       ',
        '   RRRR RRRR    ',
        '  RR  R R  RR   ',
        '  R   R R   R   ',
        '  RR RR RR RR   ',
        '   RRR   RRR    ',
        '                ',
    ])


def button_copy():
    g = Grid(16, 15)
    page(g, 1, 0, 9, 10, fold=3, lines=True)
    page(g, 6, 4, 14, 14, fold=3, lines=True)
    return g


def button_paste():
    g = Grid(16, 15)
    # the board
    g.box(1, 2, 11, 14, 'o')
    g.frame(1, 2, 11, 14, 'k')
    # the clip
    g.box(3, 1, 9, 3, 's')
    g.frame(3, 1, 9, 3, 'k')
    g.hline(5, 7, 0, 'k')
    # the sheet on it
    page(g, 6, 5, 14, 14, fold=3, lines=True)
    return g


def button_print():
    g = Grid(16, 15)
    # the sheet going in
    g.box(4, 0, 11, 6, 'w')
    g.frame(4, 0, 11, 6, 'k')
    g.hline(6, 9, 2, 'd')
    g.hline(6, 9, 4, 'd')
    # the body
    g.box(1, 6, 14, 11, 's')
    g.frame(1, 6, 14, 11, 'k')
    g.hline(2, 13, 7, 'w')
    g.hline(2, 13, 10, 'd')
    g.set(12, 8, 'G')
    g.hline(4, 11, 9, 'k')
    # the sheet coming out
    g.box(3, 12, 12, 14, 'w')
    g.frame(3, 11, 12, 14, 'k')
    g.hline(5, 10, 13, 'd')
    return g


def button_about():
    g = Grid(16, 15)
    g.shape(lambda x, y: math.hypot(x - 7.5, y - 7) <= 7.2, 'B', edge='k')
    g.blit(5, 3, [
        ' www ',
        'ww ww',
        '   ww',
        '  ww ',
        '  ww ',
        '     ',
        '  ww ',
        '  ww ',
    ])
    return g


def button_zoom():
    g = Grid(16, 15)
    cx, cy = 6, 5.5
    g.shape(lambda x, y: math.hypot(x - cx, y - cy) <= 5.3, 'C', edge='k')
    g.set(4, 3, 'w')
    g.set(3, 4, 'w')
    g.set(4, 4, 'w')
    for y in range(9, 15):
        for x in range(9, 16):
            s = x - y
            if x + y >= 19 and x + y <= 28:
                if s in (0, 1):
                    g.set(x, y, 'r')
                elif s in (-1, 2):
                    g.set(x, y, 'k')
            elif x + y == 29 and s in (0, 1):
                g.set(x, y, 'k')
    return g


def button_brush():
    return art([
        '             kk ',
        '            krrk',
        '           krrrk',
        '          krrrk ',
        '         krrrk  ',
        '        ksssk   ',
        '       kswsk    ',
        '      kRRRk     ',
        '     kRRRk      ',
        '    kRRRk       ',
        '   kRRRk        ',
        '   kRRk         ',
        '  kRRk          ',
        '  kRk           ',
        '  kk            ',
    ])


def button_select():
    g = Grid(16, 15)
    for x in range(1, 15):
        for y in range(2, 13):
            if (x in (1, 14) or y in (2, 12)) and (x + y) % 2 == 1:
                g.set(x, y, 'k')
    return g


def button_line():
    g = Grid(16, 15)
    g.line(2, 13, 13, 2, 'k')
    return g


def button_rect():
    g = Grid(16, 15)
    g.frame(2, 3, 13, 11, 'k')
    return g


def button_fill():
    g = Grid(16, 15)
    tipped_bucket(g, 8, 6, 5, 's', 'k', 'B',
                  [(5, 2), (6, 3), (6, 4), (5, 5), (4, 6), (3, 6), (2, 5)])
    for i in range(1, 4):
        g.set(5 + i, 6 - i, 'B')
    for x, y in ((2, 6), (2, 7), (2, 8), (2, 9), (1, 10), (2, 10), (1, 11), (2, 11)):
        g.set(x, y, 'B')
    return g


def button_eraser():
    return art([
        '                ',
        '                ',
        '         kkkk   ',
        '        kwwwwk  ',
        '       kwwwwwwk ',
        '      kwwwwwwkk ',
        '     kMMwwwwkdk ',
        '    kMMMMwwkdk  ',
        '   kMMMMMMkdk   ',
        '  kMMMMMMkdk    ',
        '  kMMMMMkdk     ',
        '   kMMMkdk      ',
        '    kkkkk       ',
        '                ',
        '                ',
    ])


def button_picker():
    return art([
        '           kkk  ',
        '          kkkkk ',
        '         kkkkkk ',
        '        kkkkkkk ',
        '       kkkkkkk  ',
        '      kswkkkk   ',
        '     kswsk      ',
        '    kswsk       ',
        '   kswsk        ',
        '  kswsk         ',
        '  kwsk          ',
        ' kCCk           ',
        ' kCk            ',
        ' kk             ',
        '                ',
    ])


def button_ellipse():
    g = Grid(16, 15)
    g.shape(lambda x, y: abs(math.hypot((x - 7.5) / 6.6, (y - 7) / 5.1) - 1.0) < 0.12, 'k')
    return g


def button_polygon():
    g = Grid(16, 15)
    for a, b in (((2, 12), (4, 3)), ((4, 3), (12, 1)), ((12, 1), (14, 9)), ((14, 9), (8, 13)),
                 ((8, 13), (2, 12))):
        g.line(a[0], a[1], b[0], b[1], 'k')
    return g


def button_spray():
    g = Grid(16, 15)
    g.box(2, 6, 7, 14, 'd')
    g.frame(2, 6, 7, 14, 'k')
    g.box(3, 3, 6, 5, 's')
    g.frame(3, 3, 6, 5, 'k')
    g.hline(6, 8, 4, 'k')
    for x, y in ((10, 2), (12, 4), (14, 2), (11, 6), (13, 7), (15, 5), (10, 9), (14, 10), (12, 11)):
        g.set(x, y, 'R')
    return g


def button_text():
    return art([
        '                ',
        '       kk       ',
        '       kk       ',
        '      kkkk      ',
        '      k  k      ',
        '     kk  kk     ',
        '     k    k     ',
        '    kk    kk    ',
        '    kkkkkkkk    ',
        '   kk      kk   ',
        '   k        k   ',
        '  kk        kk  ',
        ' kkkk      kkkk ',
        '                ',
        '                ',
    ])


def button_replace():
    g = Grid(16, 15)
    g.box(1, 1, 7, 7, 'B')
    g.frame(1, 1, 7, 7, 'k')
    g.box(8, 7, 14, 13, 'R')
    g.frame(8, 7, 14, 13, 'k')
    g.line(9, 2, 12, 5, 'k')
    g.hline(10, 12, 5, 'k')
    g.vline(12, 3, 5, 'k')
    return g


BUTTONS = {
    'toolbar': {
        'new': button_new, 'open': button_open, 'save': button_save, 'cut': button_cut,
        'copy': button_copy, 'paste': button_paste, 'print': button_print,
        'about': button_about,
    },
    'tools': {
        'zoom': button_zoom, 'brush': button_brush, 'select': button_select,
        'line': button_line, 'rect': button_rect, 'fill': button_fill,
        'eraser': button_eraser, 'picker': button_picker, 'ellipse': button_ellipse,
        'polygon': button_polygon, 'spray': button_spray, 'text': button_text,
        'replace': button_replace,
    },
}

# ---------------------------------------------------------------------------------------
# Icons: smooth shapes rendered with 4 x 4 samples per pixel
# ---------------------------------------------------------------------------------------


def circle(cx, cy, r):
    return lambda x, y, grow=0.0: math.hypot(x - cx, y - cy) <= r + grow


def ellipse(cx, cy, rx, ry, angle=0.0):
    ca, sa = math.cos(angle), math.sin(angle)

    def inside(x, y, grow=0.0):
        dx, dy = x - cx, y - cy
        u, v = dx * ca + dy * sa, -dx * sa + dy * ca
        return (u / (rx + grow)) ** 2 + (v / (ry + grow)) ** 2 <= 1.0

    return inside


def capsule(x0, y0, x1, y1, r0, r1=None):
    """A thick segment whose radius runs from r0 to r1."""
    r1 = r0 if r1 is None else r1
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy

    def inside(x, y, grow=0.0):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) <= r0 + (r1 - r0) * t + grow

    return inside


def polygon(points):
    edges = list(zip(points, points[1:] + points[:1]))

    def seg_dist(x, y, a, b):
        dx, dy = b[0] - a[0], b[1] - a[1]
        t = max(0.0, min(1.0, ((x - a[0]) * dx + (y - a[1]) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - a[0] - t * dx, y - a[1] - t * dy)

    def inside(x, y, grow=0.0):
        hit = False
        for (x0, y0), (x1, y1) in edges:
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        if grow > 0 and not hit:
            return min(seg_dist(x, y, a, b) for a, b in edges) <= grow
        if grow < 0 and hit:
            return min(seg_dist(x, y, a, b) for a, b in edges) >= -grow
        return hit

    return inside


def minus(a, b):
    return lambda x, y, grow=0.0: a(x, y, grow) and not b(x, y, -grow)


def render_icon(size, layers, samples=4):
    """layers: [(inside, colour, grow)] painted in order, in a 0..1 coordinate square.
    colour is (r, g, b) or a function (x, y) -> (r, g, b). Returns RGBA rows."""
    px = 1.0 / size
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    fx = (x + (sx + 0.5) / samples) * px
                    fy = (y + (sy + 0.5) / samples) * px
                    col = None
                    for inside, colour, grow in layers:
                        if inside(fx, fy, grow * px):
                            col = colour(fx, fy) if callable(colour) else colour
                    if col is not None:
                        acc[0] += col[0]
                        acc[1] += col[1]
                        acc[2] += col[2]
                        acc[3] += 1
            n = samples * samples
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((clamp8(acc[0] / acc[3]), clamp8(acc[1] / acc[3]),
                            clamp8(acc[2] / acc[3]), clamp8(255 * acc[3] / n)))
        rows.append(row)
    return rows


OUTLINE = (46, 34, 30)


def document_icon_layers():
    sheet = polygon([(0.18, 0.04), (0.62, 0.04), (0.84, 0.26), (0.84, 0.96), (0.18, 0.96)])
    fold = polygon([(0.62, 0.04), (0.84, 0.26), (0.62, 0.26)])
    picture = polygon([(0.28, 0.36), (0.74, 0.36), (0.74, 0.84), (0.28, 0.84)])

    def scene(x, y):
        hill = 0.68 + 0.06 * math.sin((x - 0.28) * 9.0)
        if y > hill:
            return mix((70, 160, 60), (40, 110, 40), (y - hill) / 0.2)
        if math.hypot(x - 0.60, y - 0.52) < 0.07:
            return (255, 210, 60)
        return mix((90, 150, 230), (190, 220, 250), (y - 0.36) / 0.34)

    return [
        (sheet, (60, 60, 70), 1.0),
        (sheet, lambda x, y: mix((255, 255, 255), (226, 230, 238), y), 0.0),
        (fold, (60, 60, 70), 1.0),
        (fold, (200, 205, 215), 0.0),
        (picture, (110, 110, 120), 1.0),
        (picture, scene, 0.0),
    ]


# ---------------------------------------------------------------------------------------
# The about-box picture: a painted evening landscape, 290 x 370, at most 256 colours
# ---------------------------------------------------------------------------------------

ABOUT_W, ABOUT_H = 290, 370
CALM_TOP = 292  # from here down the picture is a plain band for the text and the button
CALM = (244, 238, 228)


def about_picture():
    W, H = ABOUT_W, ABOUT_H
    sun = (196.0, 156.0)
    horizon = 182.0
    sky_stops = [(0.0, (38, 40, 104)), (0.30, (92, 70, 140)), (0.55, (196, 108, 132)),
                 (0.78, (244, 154, 110)), (1.0, (252, 214, 150))]

    def sky(x, y, disc=True):
        t = y / horizon
        c = ramp(sky_stops, t + 0.03 * (fbm(x / 70, y / 14, 3) - 0.5))
        d = math.hypot(x - sun[0], (y - sun[1]) * 1.2)
        c = mix(c, (255, 226, 170), 0.55 * math.exp(-d / 55.0))
        # long thin clouds lit from below
        band = fbm(x / 90.0, y / 7.0, 11)
        cloud = smoothstep(0.56, 0.70, band) * smoothstep(20, 60, y) * (1 - smoothstep(150, 175, y))
        c = mix(c, mix((236, 128, 138), (255, 196, 150), t), 0.65 * cloud)
        if disc and d < 17.0:
            c = mix((255, 244, 206), c, smoothstep(14.0, 17.0, d))
        return c

    # ranges of hills, far to near: base height, amplitude, horizontal scale, colour, haze
    ranges = [
        (150.0, 34.0, 110.0, (150, 96, 150), 0.55),
        (178.0, 30.0, 80.0, (104, 64, 124), 0.30),
        (212.0, 26.0, 60.0, (62, 44, 96), 0.12),
        (244.0, 14.0, 45.0, (36, 32, 66), 0.0),
    ]
    ridge = [[base - amp * (2 * fbm(x / scale, 0.5, 21 + i, 5) - 1) for x in range(W)]
             for i, (base, amp, scale, _c, _h) in enumerate(ranges)]
    # a few firs standing on the nearest range: (x, height)
    firs = []
    x = 4
    while x < W:
        firs.append((x, 10 + 14 * _hash(x, 2, 9)))
        x += 9 + int(30 * _hash(x, 1, 9))
    shore = 258.0
    tree_colour = (24, 24, 46)

    def land(x, y):
        """Colour of the land at (x, y) above the water, or None where the sky shows."""
        for fx, fh in firs:
            foot = ridge[3][fx] + 3
            down = y - (foot - fh)
            # the outline widens downwards in tiers of four rows
            if 0 <= down <= fh and abs(x - fx) <= down * 0.32 * (0.6 + 0.4 * (down % 4) / 3) + 0.3:
                return tree_colour
        hit = None
        for i in range(len(ranges)):
            if y >= ridge[i][x]:
                hit = i
        if hit is None:
            return None
        base, amp, scale, col, haze = ranges[hit]
        depth = y - ridge[hit][x]
        c = mix(col, (250, 180, 140), math.exp(-depth / 3.0) * 0.35 * (1 - hit * 0.2))
        strokes = fbm(x / 18.0 + hit * 7, y / 4.0, 40 + hit) - 0.5
        c = tuple(v * (1.0 + 0.22 * strokes) for v in c)
        return mix(c, sky(x, min(y, horizon), disc=False), haze * 0.5)

    img = []
    for y in range(H):
        row = []
        for x in range(W):
            if y >= CALM_TOP:
                c = CALM
            elif y < shore:
                c = land(x, y) or sky(x, y)
            else:
                # the lake mirrors land and sky, rippled, and calms into the plain band
                depth = y - shore
                ry = shore - 1 - depth * 1.6
                ripple = 3.0 * (noise(x / 22.0, y / 1.6, 77) - 0.5) * (1 + depth / 12.0)
                sx = int(min(W - 1, max(0, x + ripple)))
                m = (land(sx, int(ry)) or sky(sx, ry)) if ry >= 0 else sky(sx, 0)
                m = mix(m, (70, 80, 130), 0.25)
                glint = (smoothstep(0.62, 0.75, noise(x / 9.0, y / 1.2, 78))
                         * math.exp(-abs(x - sun[0]) / 30.0))
                m = mix(m, (255, 220, 170), 0.8 * glint)
                c = mix(m, CALM, smoothstep(shore + 4, CALM_TOP - 2, y))
            row.append(c)
        img.append(row)
    return img


def median_cut(pixels, count):
    """pixels: list of (r, g, b) ints; returns up to count colours."""
    hist = Counter(pixels)
    boxes = [list(hist.items())]
    while len(boxes) < count:
        best, best_i, best_axis = -1, None, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                lo = min(c[axis] for c, _n in box)
                hi = max(c[axis] for c, _n in box)
                weight = sum(n for _c, n in box)
                score = (hi - lo) * math.sqrt(weight)
                if score > best:
                    best, best_i, best_axis = score, i, axis
        if best_i is None or best <= 0:
            break
        box = sorted(boxes.pop(best_i), key=lambda cn: cn[0][best_axis])
        total = sum(n for _c, n in box)
        run, cut = 0, 1
        for k, (_c, n) in enumerate(box):
            run += n
            if run * 2 >= total:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _c, n in box)
        palette.append(tuple(clamp8(sum(c[a] * n for c, n in box) / total) for a in range(3)))
    return palette


def make_about():
    img = about_picture()
    flat = [tuple(clamp8(v) for v in c) for row in img for c in row]
    palette = median_cut(flat, 256)
    nearest = Nearest(palette)
    # Floyd-Steinberg with mild strength keeps the sky smooth without visible noise
    err = [[0.0, 0.0, 0.0] for _ in range(ABOUT_W + 2)]
    indices = []
    for y in range(ABOUT_H):
        nxt = [[0.0, 0.0, 0.0] for _ in range(ABOUT_W + 2)]
        row = []
        for x in range(ABOUT_W):
            want = [img[y][x][a] + err[x + 1][a] for a in range(3)]
            i = nearest(want)
            row.append(i)
            e = [(want[a] - palette[i][a]) * 0.75 for a in range(3)]
            for a in range(3):
                err[x + 2][a] += e[a] * 7 / 16
                nxt[x][a] += e[a] * 3 / 16
                nxt[x + 1][a] += e[a] * 5 / 16
                nxt[x + 2][a] += e[a] * 1 / 16
        err = nxt
        indices.append(row)
    return png_indexed(ABOUT_W, ABOUT_H, palette, indices)


# ---------------------------------------------------------------------------------------
# The sample pictures
# ---------------------------------------------------------------------------------------

SAMPLE_W, SAMPLE_H = 384, 288


def grey(level):
    """Palette index of grey 6 * level (level 0..39)."""
    return 216 + level


def cube(r, g, b):
    """Palette index of cube colour (42 r, 42 g, 42 b), r, g, b in 0..5."""
    return 36 * r + 6 * g + b


def make_sample8():
    W, H = SAMPLE_W, SAMPLE_H
    pal = default_palette()
    nearest = Nearest(pal)
    img = [[grey(9)] * W for _ in range(H)]

    def put(x, y, v):
        if 0 <= x < W and 0 <= y < H:
            img[y][x] = v

    def box(x0, y0, x1, y1, v):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                put(x, y, v)

    def frame(x0, y0, x1, y1, v):
        for x in range(x0, x1 + 1):
            put(x, y0, v)
            put(x, y1, v)
        for y in range(y0, y1 + 1):
            put(x0, y, v)
            put(x1, y, v)

    def line(x0, y0, x1, y1, v):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            put(x0, y0, v)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def text(x0, y0, s, v, scale=1, shadow=None):
        if shadow is not None:
            for x, y in text_pixels(s, scale):
                put(x0 + x + scale, y0 + y + scale, shadow)
        for x, y in text_pixels(s, scale):
            put(x0 + x, y0 + y, v)

    white, black = grey(39), cube(0, 0, 0)
    light, dark = grey(30), grey(5)

    frame(0, 0, W - 1, H - 1, light)
    frame(2, 2, W - 3, H - 3, grey(14))

    # title
    text(12, 10, 'Orvik', white, scale=3, shadow=black)
    text(12 + text_width('Orvik', 3) + 12, 24, 'TEST CARD - 256 COLOURS', light)
    # rainbow of the cube's pure colours in the title band
    rainbow = [cube(5, 0, 0), cube(5, 2, 0), cube(5, 5, 0), cube(0, 5, 0), cube(0, 5, 5),
               cube(0, 2, 5), cube(0, 0, 5), cube(3, 0, 5), cube(5, 0, 5)]
    bx = 372 - 10 * len(rainbow)
    box(bx - 2, 10, 373, 31, black)
    for i, v in enumerate(rainbow):
        box(bx + i * 10, 12, bx + i * 10 + 9, 29, v)

    # the 256 palette entries, 16 to a row, in index order
    gx, gy, cell = 12, 40, 11
    box(gx - 2, gy - 2, gx + 16 * cell, gy + 16 * cell, black)
    for n in range(256):
        x = gx + (n % 16) * cell
        y = gy + (n // 16) * cell
        box(x, y, x + cell - 2, y + cell - 2, n)

    # four test panels to the right of the grid, framed like it
    pw, ph = 81, 82
    panels = [(200, 40), (291, 40), (200, 133), (291, 133)]
    for x0, y0 in panels:
        box(x0 - 2, y0 - 2, x0 + pw + 1, y0 + ph + 1, black)

    # 1: a colour wheel in concentric rings
    x0, y0 = panels[0]
    cx, cy = x0 + pw / 2 - 0.5, y0 + ph / 2 - 0.5
    for y in range(y0, y0 + ph):
        for x in range(x0, x0 + pw):
            d = math.hypot(x - cx, y - cy)
            if d > 39.5:
                put(x, y, dark)
                continue
            ring = int(d / 8)
            if d % 8 >= 7:
                put(x, y, black)
                continue
            hue = (math.atan2(y - cy, x - cx) / (2 * math.pi)) % 1.0
            hue = round(hue * 24) / 24
            sat = [0.0, 0.4, 0.7, 1.0, 1.0][ring]
            val = [1.0, 1.0, 1.0, 1.0, 0.6][ring]
            put(x, y, nearest(hsv(hue, sat, val * 0.82)))

    # 2: a fan of lines from the lower left corner, every one a different colour
    x0, y0 = panels[1]
    box(x0, y0, x0 + pw - 1, y0 + ph - 1, white)
    ends = [(x, y0) for x in range(x0 + 4, x0 + pw - 1, 6)]
    ends += [(x0 + pw - 1, y) for y in range(y0, y0 + ph - 4, 6)]
    fan = [cube(5, 0, 0), cube(5, 3, 0), cube(0, 3, 0), cube(0, 3, 5), cube(0, 0, 4), cube(3, 0, 4),
           black]
    for k, (ex, ey) in enumerate(ends):
        line(x0, y0 + ph - 1, ex, ey, fan[k % len(fan)])

    # 3: checkerboards at 8, 4, 2 and 1 pixel
    x0, y0 = panels[2]
    hw, hh = pw // 2, ph // 2
    quads = [(x0, y0, 8, black, white), (x0 + hw, y0, 4, cube(5, 0, 0), cube(0, 5, 5)),
             (x0, y0 + hh, 2, cube(0, 0, 5), cube(5, 5, 0)), (x0 + hw, y0 + hh, 1, black, white)]
    for qx, qy, size, a, b in quads:
        for y in range(qy, min(qy + hh + 1, y0 + ph)):
            for x in range(qx, min(qx + hw + 1, x0 + pw)):
                put(x, y, a if ((x - x0) // size + (y - y0) // size) % 2 == 0 else b)

    # 4: concentric rectangles through the hues
    x0, y0 = panels[3]
    ring_colours = [cube(5, 0, 0), cube(5, 3, 0), cube(5, 5, 0), cube(0, 4, 0), cube(0, 4, 5),
                    cube(0, 0, 4), cube(3, 0, 4), white]
    i = 0
    while True:
        l, t, r, b = x0 + 3 * i, y0 + 3 * i, x0 + pw - 1 - 3 * i, y0 + ph - 1 - 3 * i
        if l > r or t > b:
            break
        box(l, t, r, b, ring_colours[i % len(ring_colours)])
        if l + 2 <= r - 2 and t + 2 <= b - 2:
            box(l + 2, t + 2, r - 2, b - 2, black)
        i += 1

    # the 40 greys of the palette as a ramp
    ry0, ry1 = 228, 256
    box(10, ry0 - 2, 373, ry1 + 2, black)
    for d in range(40):
        box(12 + d * 9, ry0, 12 + d * 9 + 8, ry1, grey(d))
    text(12, 266, '0', light)
    text(372 - text_width('234'), 266, '234', light)
    label = 'GREY RAMP 216-255'
    text((W - text_width(label)) // 2, 266, label, light)
    return bmp_file(W, H, 8, [bytes(row) for row in img], palette=pal)


def make_sample24():
    W, H = SAMPLE_W, SAMPLE_H
    img = [[mix((36, 40, 56), (14, 16, 22), y / H)] * W for y in range(H)]

    def frame(x0, y0, x1, y1, col):
        for x in range(x0, x1 + 1):
            img[y0][x] = img[y1][x] = col
        for y in range(y0, y1 + 1):
            img[y][x0] = img[y][x1] = col

    edge = (84, 90, 112)

    # a colour field: hue across, from white through full colour to black downwards
    fx0, fy0, fw, fh = 12, 40, 240, 150
    frame(fx0 - 1, fy0 - 1, fx0 + fw, fy0 + fh, edge)
    for y in range(fh):
        v = y / (fh - 1)
        for x in range(fw):
            c = hsv(x / fw, 1.0, 1.0)
            c = mix((255, 255, 255), c, v * 2) if v < 0.5 else mix(c, (0, 0, 0), (v - 0.5) * 2)
            img[fy0 + y][fx0 + x] = c

    # smooth ramps below it: grey, red, green, blue
    rx0, ry0, rw, rh = 12, 202, 240, 14
    for i, col in enumerate([(255, 255, 255), (255, 0, 0), (0, 255, 0), (0, 0, 255)]):
        top = ry0 + i * (rh + 4)
        frame(rx0 - 1, top - 1, rx0 + rw, top + rh, edge)
        for y in range(top, top + rh):
            for x in range(rw):
                img[y][rx0 + x] = tuple(v * x / (rw - 1) for v in col)

    def cover(x, y, inside):
        """Fraction of the pixel (x, y) inside a shape, from 4 x 4 samples."""
        n = 0
        for s in range(16):
            if inside(x + (s % 4 + 0.5) / 4, y + (s // 4 + 0.5) / 4):
                n += 1
        return n / 16

    def sphere(cx, cy, r, base):
        lx, ly, lz = -0.45, -0.55, 0.70
        for y in range(int(cy - r - 1), int(cy + r + 2)):
            for x in range(int(cx - r - 1), int(cx + r + 2)):
                a = cover(x, y, lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r)
                if a == 0:
                    continue
                nx, ny = (x + 0.5 - cx) / r, (y + 0.5 - cy) / r
                nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny))
                diff = max(0.0, nx * lx + ny * ly + nz * lz)
                shine = max(0.0, 2 * diff * nz - lz) ** 20
                c = mix(tuple(v * (0.18 + 0.82 * diff) for v in base), (255, 255, 255), shine * 0.8)
                img[y][x] = mix(img[y][x], c, a)

    sphere(292, 66, 23, (230, 40, 40))
    sphere(346, 66, 23, (40, 200, 70))
    sphere(319, 112, 23, (50, 90, 240))

    def aa_line(x0, y0, x1, y1, col):
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy
        for y in range(int(min(y0, y1)) - 1, int(max(y0, y1)) + 2):
            for x in range(int(min(x0, x1)) - 1, int(max(x0, x1)) + 2):
                t = max(0.0, min(1.0, ((x + 0.5 - x0) * dx + (y + 0.5 - y0) * dy) / ll))
                d = math.hypot(x + 0.5 - x0 - t * dx, y + 0.5 - y0 - t * dy)
                a = max(0.0, min(1.0, 1.1 - d))
                if a > 0:
                    img[y][x] = mix(img[y][x], col, a)

    # a fan of anti-aliased lines in a dark box
    bx0, by0, bx1, by1 = 264, 146, 372, 196
    for y in range(by0, by1 + 1):
        for x in range(bx0, bx1 + 1):
            img[y][x] = (10, 12, 18)
    frame(bx0 - 1, by0 - 1, bx1 + 1, by1 + 1, edge)
    ends = [(x, by0 + 1) for x in range(bx0 + 6, bx1, 12)] + [(bx1 - 1, y) for y in range(by0 + 1, by1, 8)]
    for k, (ex, ey) in enumerate(ends):
        aa_line(bx0 + 1.5, by1 - 1.5, ex + 0.5, ey + 0.5, hsv(k / len(ends), 0.65, 1.0))

    # soft concentric rings
    cx, cy, r = 318.0, 240.0, 33.0
    for y in range(int(cy - r - 1), int(cy + r + 2)):
        for x in range(int(cx - r - 1), int(cx + r + 2)):
            a = cover(x, y, lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r)
            if a:
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                shade = 0.5 + 0.5 * math.cos(d * 0.9)
                c = mix(hsv(d / r * 0.8, 0.55, 0.95), (20, 20, 28), shade * 0.8)
                img[y][x] = mix(img[y][x], c, a)

    # the title with a soft shadow, and a label
    for x, y in text_pixels('Orvik', 3):
        for sy in (2, 3):
            for sx in (2, 3):
                img[10 + y + sy][12 + x + sx] = mix(img[10 + y + sy][12 + x + sx], (0, 0, 0), 0.45)
    for x, y in text_pixels('Orvik', 3):
        img[10 + y][12 + x] = mix((255, 236, 180), (250, 150, 60), y / 21.0)
    for x, y in text_pixels('TRUE COLOUR - 24 BIT'):
        img[24 + y][12 + text_width('Orvik', 3) + 12 + x] = (200, 204, 216)

    rows = [bytes(v for c in row for v in (clamp8(c[2]), clamp8(c[1]), clamp8(c[0]))) for row in img]
    return bmp_file(W, H, 24, rows)


# ---------------------------------------------------------------------------------------
# The resource list: every image above except the samples, which are files for the user
# ---------------------------------------------------------------------------------------

APP_ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

QRC_HEADER = '<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/">\n'
QRC_FOOTER = '</qresource>\n</RCC>\n'


def main():
    out = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, 'res')
    resources = []

    def emit(rel, data, resource=True):
        write_file(os.path.join(out, rel), data)
        if resource:
            resources.append(rel)

    # Each cursor and button also for screens of twice the pixels, as name@2x.xpm.
    for name in CURSORS:
        text, hot = make_cursor(name)
        emit(f'cursors/{name}.xpm', text)
        print(f'cursors/{name}.xpm: hot spot {hot[0]}, {hot[1]}')
        emit(f'cursors/{name}@2x.xpm', make_cursor(name, double=True)[0])
    for folder, buttons in BUTTONS.items():
        for name, draw in buttons.items():
            button = draw()
            emit(f'{folder}/{name}.xpm', xpm_text(f'{folder}_{name}', button.rows(), VGA))
            emit(f'{folder}/{name}@2x.xpm', xpm_text(f'{folder}_{name}_2x', button.doubled().rows(), VGA))
    # The application icon is drawn as res/icons/orvik.svg; scripts/make_icons.sh renders its sizes.
    resources.extend(f'icons/hicolor/{n}x{n}/apps/orvik.png' for n in APP_ICON_SIZES)
    emit('icons/document.png', png_rgba(32, 32, render_icon(32, document_icon_layers())))
    emit('about.png', make_about())
    emit('sample.bmp', make_sample8(), resource=False)
    emit('sample24.bmp', make_sample24(), resource=False)
    emit('orvik.qrc', QRC_HEADER + ''.join(f'    <file>{r}</file>\n' for r in resources)
         + QRC_FOOTER, resource=False)


if __name__ == '__main__':
    main()
