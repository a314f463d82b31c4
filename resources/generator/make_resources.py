#!/usr/bin/env python3
"""Draws the board pictures and the program icon and synthesises the sounds.

Standard library only. Writes into the folder above this one:
  images/*.png  eleven 34x34 cell pictures, 4-bit indexed (16 colours), and
                images/*@2x.png, the same pictures drawn at 68x68 for screens
                of twice the pixel density
  icons/*.png   the program icon at 16, 22, 24, 32, 48, 64, 128 and 256
                pixels square (RGBA), and icons/kestrelbay.svg, the same
                drawing as a scalable picture
  sounds/*.wav  place and flip clicks (16-bit stereo 44100 Hz),
                win and lose phrases (8-bit mono 22050 Hz)
The output is deterministic: running it twice gives the same bytes.
"""

import math
import os
import random
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)

# ---------------------------------------------------------------- PNG files


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_indexed_png(path, width, height, indices, palette):
    """indices: rows of palette indices (0-15); palette: up to 16 RGB tuples."""
    raw = bytearray()
    for row in indices:
        raw.append(0)
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            raw.append((hi << 4) | lo)
    header = struct.pack(">IIBBBBB", width, height, 4, 3, 0, 0, 0)
    plte = b"".join(bytes(c) for c in palette)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(_chunk(b"IHDR", header))
        f.write(_chunk(b"PLTE", plte))
        f.write(_chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(_chunk(b"IEND", b""))


def write_rgba_png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) tuples."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for p in row:
            raw.extend(p)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(_chunk(b"IHDR", header))
        f.write(_chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(_chunk(b"IEND", b""))


# ---------------------------------------------------------- cell pictures

BLACK = (0, 0, 0)
GREY = (192, 192, 192)
BLUE = (0, 0, 255)
CYAN = (0, 255, 255)
SHADOW = (150, 150, 150)
BLUE_DARK = (0, 0, 176)
BLUE_LIGHT = (110, 110, 255)
CYAN_DARK = (0, 184, 200)
CYAN_LIGHT = (200, 255, 255)
BLUE_CYAN = (0, 128, 255)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


# Sixteen colours: the four of the design, blends of the disc colours into the
# grey for smooth edges, a shadow, and a darker and a lighter tone of each disc.
PALETTE = [
    BLACK, GREY, BLUE, CYAN,
    mix(GREY, BLUE, 0.25), mix(GREY, BLUE, 0.5), mix(GREY, BLUE, 0.75),
    mix(GREY, CYAN, 0.25), mix(GREY, CYAN, 0.5), mix(GREY, CYAN, 0.75),
    SHADOW, BLUE_DARK, BLUE_LIGHT, CYAN_DARK, CYAN_LIGHT, BLUE_CYAN,
]

TONES = {
    "blue": (BLUE, BLUE_DARK, BLUE_LIGHT),
    "cyan": (CYAN, CYAN_DARK, CYAN_LIGHT),
}

SIZE = 34
CENTRE = 17.0
SUPERSAMPLE = 6


def inside_ellipse(x, y, cx, cy, rx, ry):
    dx = (x - cx) / rx
    dy = (y - cy) / ry
    return dx * dx + dy * dy <= 1.0


def face_colour(x, y, cx, cy, rx, ry, tone):
    """A flat disc face: a soft highlight upper left, a darker bevel lower right."""
    base, dark, light = TONES[tone]
    dx = (x - cx) / rx
    dy = (y - cy) / ry
    d = math.hypot(dx, dy)
    if d > 0.86 and dx + dy > 0.55:
        return dark
    if inside_ellipse(x, y, cx - 0.38 * rx, cy - 0.42 * ry, 0.30 * rx, 0.18 * ry):
        return light
    return base


def disc_scene(r, tone):
    def colour(x, y):
        if inside_ellipse(x, y, CENTRE, CENTRE, r, r):
            return face_colour(x, y, CENTRE, CENTRE, r, r, tone)
        if r > 4 and inside_ellipse(x, y, CENTRE + 1.0, CENTRE + 1.2, r, r):
            return SHADOW
        return GREY
    return colour


def flip_scene(face, rim, rim_side):
    """A disc turned about its upright axis: its face as an upright ellipse, and
    the edge of the other colour showing on one side."""
    rx, ry, thickness = 7.5, 14.5, 3.0
    face_cx = CENTRE - rim_side * thickness / 2
    rim_cx = face_cx + rim_side * thickness

    def colour(x, y):
        if inside_ellipse(x, y, face_cx, CENTRE, rx, ry):
            return face_colour(x, y, face_cx, CENTRE, rx, ry, face)
        # the edge band between the face and its copy shifted by the thickness
        if inside_ellipse(x, y, rim_cx, CENTRE, rx, ry) or (
            min(face_cx, rim_cx) <= x <= max(face_cx, rim_cx) and abs(y - CENTRE) <= ry
        ):
            base, dark, _ = TONES[rim]
            return dark if y > CENTRE + ry * 0.55 else base
        if inside_ellipse(x, y, CENTRE + 1.0, CENTRE + 1.2, rx + thickness / 2, ry):
            return SHADOW
        return GREY
    return colour


def nearest(colour):
    best, best_d = 0, None
    for i, p in enumerate(PALETTE):
        d = sum((colour[k] - p[k]) ** 2 for k in range(3))
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def render_cell(scene, scale=1):
    """The picture at scale times 34 pixels square. The scene is given in the
    coordinates of the 34-pixel cell, so every scale draws the same shapes,
    each at its own resolution; the outline is scale pixels wide."""
    rows = []
    n = SUPERSAMPLE
    size = SIZE * scale
    for py in range(size):
        row = []
        for px in range(size):
            if min(px, py) < scale or max(px, py) >= size - scale:
                row.append(0)
                continue
            acc = [0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = scene((px + (sx + 0.5) / n) / scale, (py + (sy + 0.5) / n) / scale)
                    for k in range(3):
                        acc[k] += c[k]
            row.append(nearest(tuple(a / (n * n) for a in acc)))
        rows.append(row)
    return rows


PICTURES = {
    "empty": lambda x, y: GREY,
    "black": disc_scene(14.8, "blue"),
    "white": disc_scene(14.8, "cyan"),
    "place_black1": disc_scene(5.5, "blue"),
    "place_black2": disc_scene(9.0, "blue"),
    "place_white1": disc_scene(5.5, "cyan"),
    "place_white2": disc_scene(9.0, "cyan"),
    "to_black1": flip_scene("cyan", "blue", +1),
    "to_black2": flip_scene("blue", "cyan", -1),
    "to_white1": flip_scene("blue", "cyan", +1),
    "to_white2": flip_scene("cyan", "blue", -1),
}

# ------------------------------------------------------------------- icon


ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SVG_SIZE = 256


def icon_geometry(size):
    """Where the parts of the icon lie on a size x size square: a board inset by
    margin with an edge and a centre cross of width line (the cross snapped to
    whole pixels), and two discs of radius r centred at (near, near) and
    (far, far)."""
    margin = size / 16
    line = max(1.0, size / 16)
    span = size - 2 * margin
    near = margin + span / 4
    return {
        "margin": margin,
        "line": line,
        "grid": math.floor(size / 2 - line / 2),
        "near": near,
        "far": size - near,
        "r": span / 4 - line * 0.35,
    }


def render_icon(size):
    """Two discs, blue and cyan, on a small grey board with a black grid."""
    # Fewer samples in the large sizes, whose pixels are small against the shapes.
    n = 8 if size <= 64 else 4
    g = icon_geometry(size)
    margin, line, grid, near, far, r = (g[k] for k in ("margin", "line", "grid", "near", "far", "r"))

    def sample(x, y):
        if not (margin <= x < size - margin and margin <= y < size - margin):
            return None
        if inside_ellipse(x, y, near, near, r, r):
            return face_colour(x, y, near, near, r, r, "blue")
        if inside_ellipse(x, y, far, far, r, r):
            return face_colour(x, y, far, far, r, r, "cyan")
        on_edge = x < margin + line or x >= size - margin - line or y < margin + line or y >= size - margin - line
        on_grid = grid <= x < grid + line or grid <= y < grid + line
        return BLACK if on_edge or on_grid else GREY

    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    c = sample(px + (sx + 0.5) / n, py + (sy + 0.5) / n)
                    if c is not None:
                        covered += 1
                        for k in range(3):
                            acc[k] += c[k]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(a / covered) for a in acc) + (round(255 * covered / (n * n)),))
        rows.append(row)
    return rows


def _num(v):
    text = "%.3f" % v
    return text.rstrip("0").rstrip(".")


def _hex(colour):
    return "#%02x%02x%02x" % colour


def svg_disc(cx, cy, r, tone, clip_id):
    """A disc as face_colour paints it: the base colour, the darker bevel where
    the outer ring meets the lower right half-plane, the highlight upper left."""
    base, dark, light = TONES[tone]
    t = 0.55 * r  # the half-plane dx + dy > 0.55 in the disc's own units
    half_plane = [(cx - 2 * r, cy + t + 2 * r), (cx + t + 2 * r, cy - 2 * r), (cx + 3 * r, cy + 3 * r)]
    inner = 0.86 * r

    def circle_path(radius):
        return "M%s %sa%s %s 0 1 0 %s 0a%s %s 0 1 0 %s 0z" % (
            _num(cx - radius), _num(cy), _num(radius), _num(radius), _num(2 * radius),
            _num(radius), _num(radius), _num(-2 * radius))

    return "\n".join([
        '  <clipPath id="%s"><polygon points="%s"/></clipPath>'
        % (clip_id, " ".join("%s,%s" % (_num(x), _num(y)) for x, y in half_plane)),
        '  <circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (_num(cx), _num(cy), _num(r), _hex(base)),
        '  <path d="%s%s" fill="%s" fill-rule="evenodd" clip-path="url(#%s)"/>'
        % (circle_path(r), circle_path(inner), _hex(dark), clip_id),
        '  <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s"/>'
        % (_num(cx - 0.38 * r), _num(cy - 0.42 * r), _num(0.30 * r), _num(0.18 * r), _hex(light)),
    ])


def icon_svg():
    """The icon of render_icon as a scalable picture, from the same geometry at
    SVG_SIZE: board, edge and cross as rectangles, the discs as circles."""
    size = SVG_SIZE
    g = icon_geometry(size)
    margin, line, grid, near, far, r = (g[k] for k in ("margin", "line", "grid", "near", "far", "r"))
    span = size - 2 * margin
    inner = span - 2 * line

    def rect(x, y, w, h, colour):
        return '  <rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>' % (
            _num(x), _num(y), _num(w), _num(h), _hex(colour))

    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % ((size,) * 4),
        rect(margin, margin, span, span, BLACK),
        rect(margin + line, margin + line, inner, inner, GREY),
        rect(grid, margin + line, line, inner, BLACK),
        rect(margin + line, grid, inner, line, BLACK),
        svg_disc(near, near, r, "blue", "bevel-blue"),
        svg_disc(far, far, r, "cyan", "bevel-cyan"),
        "</svg>",
    ]
    return "\n".join(parts) + "\n"


# ----------------------------------------------------------------- sounds


def envelope_fades(samples, rate, fade_in, fade_out):
    n = len(samples)
    a = max(1, int(fade_in * rate))
    b = max(1, int(fade_out * rate))
    for i in range(min(a, n)):
        samples[i] *= 0.5 - 0.5 * math.cos(math.pi * i / a)
    for i in range(min(b, n)):
        samples[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / b)
    return samples


def normalise(samples, peak):
    top = max(abs(s) for s in samples)
    return [s * peak / top for s in samples]


def lowpass(samples, amount):
    out, y = [], 0.0
    for s in samples:
        y += amount * (s - y)
        out.append(y)
    return out


def click(rate, length, modes, tau, noise_tau, noise_level, rng):
    """A struck piece of wood: a few damped resonances and a short noise tick."""
    n = int(round(length * rate))
    noise = lowpass([rng.uniform(-1, 1) for _ in range(n)], 0.55)
    out = []
    for i in range(n):
        t = i / rate
        body = sum(a * math.sin(2 * math.pi * f * t + ph) * math.exp(-t / (tau * d)) for f, a, ph, d in modes)
        out.append(body + noise_level * noise[i] * math.exp(-t / noise_tau))
    return out


def place_sound():
    rate, length = 44100, 0.06
    rng = random.Random(131)
    modes = [(640, 0.60, 0.0, 1.0), (1510, 0.30, 0.7, 0.7), (2950, 0.16, 1.9, 0.45), (4100, 0.06, 0.3, 0.3)]
    s = click(rate, length, modes, 0.0115, 0.0022, 0.55, rng)
    return rate, envelope_fades(normalise(s, 0.70), rate, 0.0004, 0.004)


def flip_sound():
    rate, length = 44100, 0.13
    rng = random.Random(134)
    n = int(round(length * rate))
    first = click(rate, length, [(470, 0.6, 0.0, 1.0), (1180, 0.28, 0.5, 0.7), (2300, 0.1, 1.1, 0.5)],
                  0.010, 0.0018, 0.35, rng)
    second = click(rate, length, [(540, 0.6, 0.2, 1.0), (1320, 0.25, 0.9, 0.7), (2550, 0.08, 0.4, 0.5)],
                   0.012, 0.0018, 0.30, rng)
    whoosh = lowpass(lowpass([rng.uniform(-1, 1) for _ in range(n)], 0.12), 0.25)
    offset = int(0.058 * rate)
    out = []
    for i in range(n):
        t = i / n
        swell = math.sin(math.pi * t) ** 2
        value = first[i] + 0.7 * (second[i - offset] if i >= offset else 0.0) + 0.9 * swell * whoosh[i]
        out.append(value)
    return rate, envelope_fades(normalise(out, 0.55), rate, 0.0004, 0.008)


def tone(rate, n, start, freq, length, level, harmonics, decay, bend=0.0):
    """One note added at time start: harmonics with a quick attack and a ringing decay."""
    out = [0.0] * n
    first = int(start * rate)
    phase = 0.0
    for i in range(first, min(n, first + int(length * rate))):
        t = (i - first) / rate
        f = freq * (1.0 + bend * max(0.0, t - 0.25 * length) / length)
        phase += 2 * math.pi * f / rate
        attack = min(1.0, t / 0.006)
        release = min(1.0, (length - t) / 0.05)
        env = level * attack * release * math.exp(-t / decay)
        out[i] = env * sum(a * math.sin(k * phase) for k, a in harmonics)
    return out


def add(into, other):
    for i, v in enumerate(other):
        into[i] += v


def win_sound():
    rate, length = 22050, 2.2
    n = int(round(length * rate))
    bright = [(1, 1.0), (2, 0.35), (3, 0.15), (4, 0.06)]
    out = [0.0] * n
    notes = [(0.00, 523.25), (0.13, 659.25), (0.26, 783.99), (0.39, 1046.50)]
    for start, f in notes:
        add(out, tone(rate, n, start, f, 0.55, 0.55, bright, 0.22))
    for f in (523.25, 659.25, 783.99, 1046.50):
        add(out, tone(rate, n, 0.60, f, length - 0.60, 0.30, bright, 0.55))
    add(out, tone(rate, n, 0.60, 2093.0, 0.9, 0.08, [(1, 1.0)], 0.25))
    return rate, envelope_fades(normalise(out, 0.85), rate, 0.003, 0.06)


def lose_sound():
    rate, length = 22050, 1.7
    n = int(round(length * rate))
    soft = [(1, 1.0), (2, 0.12), (3, 0.11), (5, 0.04)]
    out = [0.0] * n
    phrase = [(0.00, 392.00, 0.36), (0.30, 311.13, 0.36), (0.60, 293.66, 0.36)]
    for start, f, dur in phrase:
        add(out, tone(rate, n, start, f, dur, 0.6, soft, 0.35))
    add(out, tone(rate, n, 0.90, 261.63, length - 0.90, 0.65, soft, 0.45, bend=-0.03))
    add(out, tone(rate, n, 0.90, 130.81, length - 0.90, 0.25, soft, 0.45, bend=-0.03))
    return rate, envelope_fades(normalise(out, 0.80), rate, 0.003, 0.08)


def write_wave_16_stereo(path, rate, samples):
    frames = bytearray()
    for s in samples:
        v = max(-32767, min(32767, int(round(s * 32767))))
        frames += struct.pack("<hh", v, v)
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def write_wave_8_mono(path, rate, samples):
    frames = bytes(max(1, min(255, 128 + int(round(s * 127)))) for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(frames)


def main():
    for folder in ("images", "icons", "sounds"):
        os.makedirs(os.path.join(OUT, folder), exist_ok=True)
    for name, scene in PICTURES.items():
        write_indexed_png(os.path.join(OUT, "images", name + ".png"), SIZE, SIZE, render_cell(scene), PALETTE)
        write_indexed_png(os.path.join(OUT, "images", name + "@2x.png"), 2 * SIZE, 2 * SIZE,
                          render_cell(scene, 2), PALETTE)
    for size in ICON_SIZES:
        write_rgba_png(os.path.join(OUT, "icons", "kestrelbay%d.png" % size), size, size, render_icon(size))
    with open(os.path.join(OUT, "icons", "kestrelbay.svg"), "w", encoding="ascii", newline="\n") as f:
        f.write(icon_svg())
    write_wave_16_stereo(os.path.join(OUT, "sounds", "place.wav"), *place_sound())
    write_wave_16_stereo(os.path.join(OUT, "sounds", "flip.wav"), *flip_sound())
    write_wave_8_mono(os.path.join(OUT, "sounds", "win.wav"), *win_sound())
    write_wave_8_mono(os.path.join(OUT, "sounds", "lose.wav"), *lose_sound())


if __name__ == "__main__":
    main()
