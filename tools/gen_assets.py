#!/usr/bin/python3
"""Draws every picture Fontiva embeds.

Run from anywhere:  /usr/bin/python3 tools/gen_assets.py [REPO_ROOT]

Writes, under the repository root (the parent of tools/ by default):
  toolkit/assets/caption_sprite.bin   caption-button sheet, PNG without signature
  toolkit/assets/button_skin.png      push-button skin, four state frames
  toolkit/assets/check_mark.png       menu check mark
  msgbox/assets/face.png              message-box face column
  msgbox/assets/symbols.png           message-box symbol strip
  app/assets/preview1..8.jpg          catalogue previews
  app/assets/loading_panel.png        dark loading panel
  app/assets/spinner.gif              12-frame spinner
  app/assets/fontiva.ico              program icon, 48/32/16 pixels

Everything is drawn here from shapes and from fonts Debian ships; the output is
the same on every run with the same Pillow and fonts. Needs python3-pil and the
font packages fonts-noto-cjk, fonts-noto-cjk-extra, fonts-lxgw-wenkai and
fonts-dejavu-core. The results are committed, so building Fontiva needs none of
this.

Shapes are drawn as coverage masks at SS times the final size and box-filtered
down, which gives clean anti-aliased edges; colour is then laid through each
mask at the final size.
"""

import io
import math
import os
import random
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SS = 8  # supersampling of the small vector assets

NOTO = "/usr/share/fonts/opentype/noto/"
FONT_FILES = {
    # name: (path, face index in the collection)
    "sans-regular": (NOTO + "NotoSansCJK-Regular.ttc", 2),
    "sans-medium": (NOTO + "NotoSansCJK-Medium.ttc", 2),
    "sans-bold": (NOTO + "NotoSansCJK-Bold.ttc", 2),
    "sans-black": (NOTO + "NotoSansCJK-Black.ttc", 2),
    "serif-light": (NOTO + "NotoSerifCJK-Light.ttc", 2),
    "serif-bold": (NOTO + "NotoSerifCJK-Bold.ttc", 2),
    "kai-regular": ("/usr/share/fonts/truetype/lxgw-wenkai/LXGWWenKai-Regular.ttf", 0),
    "kai-bold": ("/usr/share/fonts/truetype/lxgw-wenkai/LXGWWenKai-Bold.ttf", 0),
    "dejavu-bold": ("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 0),
}

_font_cache = {}


def font(name, size):
    key = (name, size)
    if key not in _font_cache:
        path, index = FONT_FILES[name]
        _font_cache[key] = ImageFont.truetype(path, size, index=index)
    return _font_cache[key]


# ---------------------------------------------------------------------------
# Masks and colour

class Mask:
    """A coverage mask drawn in final-size coordinates at SS times the size.

    Coordinates are in final pixels; a rectangle (x0, y0, x1, y1) covers
    x0 <= x < x1, so integer edges fall on pixel boundaries and stay crisp.
    """

    def __init__(self, width, height, ss=SS):
        self.width, self.height, self.ss = width, height, ss
        self.image = Image.new("L", (width * ss, height * ss), 0)
        self.draw = ImageDraw.Draw(self.image)

    def _box(self, x0, y0, x1, y1):
        s = self.ss
        return [round(x0 * s), round(y0 * s), round(x1 * s) - 1, round(y1 * s) - 1]

    def rect(self, x0, y0, x1, y1, value=255):
        self.draw.rectangle(self._box(x0, y0, x1, y1), fill=value)
        return self

    def rrect(self, x0, y0, x1, y1, radius, value=255, corners=(True, True, True, True)):
        """Rounded rectangle; corners = (top left, top right, bottom right,
        bottom left) say which corners are rounded."""
        if radius <= 0 or not any(corners):
            return self.rect(x0, y0, x1, y1, value)
        r = min(radius, (x1 - x0) / 2, (y1 - y0) / 2)
        centres = [(x0 + r, y0 + r, 180), (x1 - r, y0 + r, 270),
                   (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90)]
        squares = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
        points = []
        for (cx, cy, start), square, rounded in zip(centres, squares, corners):
            if not rounded:
                points.append(square)
                continue
            for i in range(13):
                a = math.radians(start + 90 * i / 12)
                points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        return self.polygon(points, value)

    def ellipse(self, x0, y0, x1, y1, value=255):
        self.draw.ellipse(self._box(x0, y0, x1, y1), fill=value)
        return self

    def circle(self, cx, cy, r, value=255):
        return self.ellipse(cx - r, cy - r, cx + r, cy + r, value)

    def polygon(self, points, value=255):
        s = self.ss
        self.draw.polygon([(x * s, y * s) for x, y in points], fill=value)
        return self

    def stroke(self, points, width, value=255):
        """A polyline with round caps and joins."""
        s = self.ss
        pts = [(x * s, y * s) for x, y in points]
        r = width * s / 2
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            dx, dy = bx - ax, by - ay
            length = math.hypot(dx, dy) or 1
            nx, ny = -dy / length * r, dx / length * r
            self.draw.polygon([(ax + nx, ay + ny), (bx + nx, by + ny),
                               (bx - nx, by - ny), (ax - nx, ay - ny)], fill=value)
        for x, y in pts:
            self.draw.ellipse([x - r, y - r, x + r, y + r], fill=value)
        return self

    def arc(self, cx, cy, radius, start, end, width, value=255):
        """A round-capped arc; angles in degrees, clockwise from 3 o'clock."""
        steps = max(2, int(abs(end - start) / 3))
        pts = []
        for i in range(steps + 1):
            a = math.radians(start + (end - start) * i / steps)
            pts.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
        return self.stroke(pts, width, value)

    def text(self, x, y, text, font_name, size, anchor="mm", value=255):
        s = self.ss
        self.draw.text((x * s, y * s), text, font=font(font_name, round(size * s)),
                       fill=value, anchor=anchor)
        return self

    def cut(self, other):
        """Removes another mask of the same size from this one."""
        self.image = ImageChops.subtract(self.image, other.image)
        self.draw = ImageDraw.Draw(self.image)
        return self

    def done(self):
        return self.image.reduce(self.ss)


def solid(size, rgba):
    return Image.new("RGBA", size, tuple(rgba))


def lerp(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(len(a)))


def vgradient(size, stops, y0=0, y1=None):
    """Vertical gradient; stops are (position 0..1, rgba) between rows y0, y1."""
    width, height = size
    if y1 is None:
        y1 = height
    column = Image.new("RGBA", (1, height))
    for y in range(height):
        t = 0.0 if y1 - y0 <= 1 else min(1.0, max(0.0, (y + 0.5 - y0) / (y1 - y0)))
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if t <= p1 or (p1, c1) == stops[-1]:
                u = 0.0 if p1 == p0 else min(1.0, max(0.0, (t - p0) / (p1 - p0)))
                column.putpixel((0, y), lerp(c0, c1, u))
                break
    return column.resize(size, Image.NEAREST)


def paint(canvas, fill, mask, opacity=1.0, offset=(0, 0)):
    """Lays fill (an RGBA image or colour) over canvas through mask."""
    if isinstance(fill, tuple):
        fill = solid(mask.size, fill)
    layer = fill.copy()
    alpha = ImageChops.multiply(layer.getchannel("A"), mask)
    if opacity < 1.0:
        alpha = alpha.point(lambda v: round(v * opacity))
    layer.putalpha(alpha)
    if offset != (0, 0):
        moved = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
        moved.paste(layer, offset)
        layer = moved
    canvas.alpha_composite(layer)
    return canvas


def blurred(mask, radius):
    return mask.filter(ImageFilter.GaussianBlur(radius))


def shifted(mask, dx, dy):
    out = Image.new("L", mask.size, 0)
    out.paste(mask, (dx, dy))
    return out


def png_bytes(image):
    buffer = io.BytesIO()
    image.save(buffer, "PNG", optimize=True)
    return buffer.getvalue()


# ---------------------------------------------------------------------------
# Caption-button sprite: 729 x 20. Cells are cut at (x, 2, width, 19): the
# close button is 39 wide at x = 0, 40, 80 (normal, hot, pressed), and each
# further kind is 28 wide at three x positions 29 apart, starting at 120.

SPRITE_W, SPRITE_H = 729, 20
CELL_TOP = 2          # first sprite row a cell shows
CELL_ROWS = 18        # rows 2..19 exist; the 19th row of a cell falls off

CAPTION_CELLS = [
    # (glyph, x of the normal cell, width)   button type
    ("close", 0, 39),                       # 4
    ("maximise", 120, 28),                  # 8, window not maximised
    ("restore", 207, 28),                   # 8, window maximised
    ("minimise", 294, 28),                  # 16
    ("menu", 381, 28),                      # 32
    ("skin", 468, 28),                      # 64
    ("settings", 555, 28),                  # 128
    ("help", 642, 28),                      # 256
]

GLYPH_DARK = (64, 70, 80, 255)
GLYPH_HALO = (255, 255, 255, 255)


def caption_glyph(kind, w, h):
    """Mask of one caption glyph centred in a w x h cell."""
    m = Mask(w, h)
    cx, cy = w / 2, h / 2
    if kind == "close":
        d = 4.5
        m.stroke([(cx - d, cy - d), (cx + d, cy + d)], 1.6)
        m.stroke([(cx - d, cy + d), (cx + d, cy - d)], 1.6)
    elif kind == "maximise":
        x0, y0 = round(cx - 5), round(cy - 4)
        m.rect(x0, y0, x0 + 10, y0 + 9)
        m.cut(Mask(w, h).rect(x0 + 1, y0 + 2, x0 + 9, y0 + 8))
    elif kind == "restore":
        x0, y0 = round(cx - 5), round(cy - 5)
        back = Mask(w, h).rect(x0 + 3, y0, x0 + 11, y0 + 7)
        back.cut(Mask(w, h).rect(x0 + 4, y0 + 2, x0 + 10, y0 + 6))
        back.cut(Mask(w, h).rect(x0, y0 + 3, x0 + 8, y0 + 11))
        m.rect(x0, y0 + 3, x0 + 8, y0 + 11)
        m.cut(Mask(w, h).rect(x0 + 1, y0 + 5, x0 + 7, y0 + 10))
        m.image = ImageChops.lighter(m.image, back.image)
    elif kind == "minimise":
        x0 = round(cx - 5)
        m.rect(x0, round(cy) + 3, x0 + 10, round(cy) + 5)
    elif kind == "menu":
        x0 = round(cx - 5)
        y0 = round(cy) - 3
        for i in range(3):
            m.rect(x0, y0 + i * 3, x0 + 10, y0 + i * 3 + 1)
    elif kind == "skin":
        # A T-shirt: the usual mark of "change the look".
        top = cy - 5
        m.polygon([(cx - 2.4, top), (cx - 6, top + 1.6), (cx - 7.2, top + 4.8),
                   (cx - 4.6, top + 5.6), (cx - 4.6, top + 10.5),
                   (cx + 4.6, top + 10.5), (cx + 4.6, top + 5.6),
                   (cx + 7.2, top + 4.8), (cx + 6, top + 1.6), (cx + 2.4, top)])
        m.cut(Mask(w, h).ellipse(cx - 2.4, top - 2.2, cx + 2.4, top + 2.0))
    elif kind == "settings":
        teeth = Mask(w, h)
        for i in range(8):
            a = math.radians(i * 45 + 22.5)
            teeth.stroke([(cx + 3.0 * math.cos(a), cy + 3.0 * math.sin(a)),
                          (cx + 5.4 * math.cos(a), cy + 5.4 * math.sin(a))], 2.2)
        m.image = teeth.image
        m.circle(cx, cy, 4.4)
        m.cut(Mask(w, h).circle(cx, cy, 2.0))
    elif kind == "help":
        m.text(cx + 0.2, cy + 0.2, "?", "dejavu-bold", 13)
    return m.done()


def caption_cell(kind, state, w, h):
    """One cell, w x h, in state 0 normal, 1 hot, 2 pressed."""
    cell = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    glyph = caption_glyph(kind, w, h)
    # Hanging tab: flush with the window's top frame, rounded below.
    tab = Mask(w, h).rrect(0, 0, w, h, 4, corners=(False, False, True, True)).done()
    if kind == "close" and state:
        top, bottom = ((238, 86, 76, 255), (214, 52, 44, 255)) if state == 1 \
            else ((190, 40, 34, 255), (168, 30, 26, 255))
        paint(cell, vgradient((w, h), [(0, top), (1, bottom)]), tab)
        edge = Mask(w, h).rrect(0, 0, w, h, 4, corners=(False, False, True, True))
        edge.cut(Mask(w, h).rrect(1, 0, w - 1, h - 1, 3, corners=(False, False, True, True)))
        paint(cell, (120, 16, 12, 255), edge.done(), 0.45)
        paint(cell, (60, 0, 0, 255), blurred(glyph, 0.8), 0.35, (0, 1))
        paint(cell, (255, 255, 255, 255), glyph)
        return cell
    if state == 1:
        paint(cell, vgradient((w, h), [(0, (255, 255, 255, 150)),
                                        (1, (255, 255, 255, 95))]), tab)
        edge = Mask(w, h).rrect(0, 0, w, h, 4, corners=(False, False, True, True))
        edge.cut(Mask(w, h).rrect(1, 0, w - 1, h - 1, 3, corners=(False, False, True, True)))
        paint(cell, (90, 100, 115, 255), edge.done(), 0.30)
        colour = (40, 46, 56, 255)
    elif state == 2:
        paint(cell, vgradient((w, h), [(0, (30, 40, 55, 70)),
                                        (1, (30, 40, 55, 45))]), tab)
        colour = (28, 32, 40, 255)
    else:
        colour = GLYPH_DARK
    # A faint light glow lifts the glyph off darker skins.
    paint(cell, GLYPH_HALO, blurred(glyph, 1.0), 0.45)
    glyph_layer = glyph if state != 2 else shifted(glyph, 0, 1)
    paint(cell, colour, glyph_layer)
    return cell


def make_caption_sprite():
    sheet = Image.new("RGBA", (SPRITE_W, SPRITE_H), (0, 0, 0, 0))
    for kind, x, w in CAPTION_CELLS:
        step = w + 1
        for state in range(3):
            cell = caption_cell(kind, state, w, CELL_ROWS)
            sheet.alpha_composite(cell, (x + step * state, CELL_TOP))
    return sheet


# ---------------------------------------------------------------------------
# Button skin: 55 x 28, four 13 x 28 frames at x = 0, 14, 28, 42 (normal,
# hot, pressed, disabled). The button nine-slices a frame with the centre
# (5, 5, 3, 15). The body's edge runs along column 1, the last column, row 0
# and row 24 (where the focus light travels); rows 25 to 27 hold its shadow.

FRAME_W, FRAME_H = 13, 28
BODY = (1, 0, 13, 25)

BUTTON_STATES = [
    # border, top fill, bottom fill, highlight alpha
    ((170, 179, 190), (255, 255, 255), (234, 238, 243), 255),
    ((72, 150, 236), (246, 251, 255), (214, 233, 253), 255),
    ((52, 118, 200), (206, 225, 248), (224, 236, 251), 0),
    ((206, 211, 217), (246, 247, 249), (240, 242, 245), 160),
]


def button_frame(border, top, bottom, highlight):
    w, h = FRAME_W, FRAME_H
    frame = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    x0, y0, x1, y1 = BODY
    body = Mask(w, h).rrect(x0, y0, x1, y1, 2.5).done()
    # Drop shadow under the body, fading over the three spare rows.
    shadow = blurred(shifted(body, 0, 2), 0.9)
    paint(frame, (20, 30, 45, 255), shadow, 0.22)
    paint(frame, (*border, 255), body)
    inner = Mask(w, h).rrect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 1.5).done()
    # The fill keeps its gradient through the stretched middle rows 5..19.
    fill = vgradient((w, h), [(0, (*top, 255)), (1, (*bottom, 255))], y0 + 1, y1 - 1)
    paint(frame, fill, inner)
    if highlight:
        line = Mask(w, h).rect(x0 + 2, y0 + 1, x1 - 2, y0 + 2).done()
        paint(frame, (255, 255, 255, highlight), line, 0.85)
    else:
        # Pressed: a faint inner shadow along the top edge.
        line = Mask(w, h).rect(x0 + 1, y0 + 1, x1 - 1, y0 + 2).done()
        paint(frame, (30, 70, 130, 255), line, 0.18)
    return frame


def make_button_skin():
    skin = Image.new("RGBA", (55, 28), (0, 0, 0, 0))
    for i, state in enumerate(BUTTON_STATES):
        skin.alpha_composite(button_frame(*state), (14 * i, 0))
    return skin


# ---------------------------------------------------------------------------
# Menu check mark: 20 x 20, drawn centred on the item's icon square.

def make_check_mark():
    w = h = 20
    mark = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    tick = Mask(w, h).stroke([(5.2, 10.4), (8.6, 13.8), (14.8, 6.4)], 2.3).done()
    halo = blurred(tick.filter(ImageFilter.MaxFilter(3)), 0.7)
    paint(mark, (255, 255, 255, 255), halo, 0.75)
    paint(mark, (38, 48, 64, 255), tick)
    return mark


# ---------------------------------------------------------------------------
# Message-box face: 2 x 160, a white column whose alpha rises from 58 (row 0)
# to 234 (row 96), near-opaque light blue-white down to row 128, 204 below.

def make_face():
    face = Image.new("RGBA", (2, 160))
    for y in range(160):
        if y <= 96:
            colour = (255, 255, 255, round(58 + (234 - 58) * y / 96))
        elif y <= 128:
            colour = (246, 250, 255, round(235 + 5 * (y - 97) / 31))
        else:
            colour = (255, 255, 255, 204)
        for x in range(2):
            face.putpixel((x, y), colour)
    return face


# ---------------------------------------------------------------------------
# Message-box symbols: 200 x 40, five 40 x 40 cells at x = 0, 40, 80, 120,
# 160: error, exclamation, question, information, tick.

SYMBOLS = [
    ("error", (246, 104, 94), (214, 50, 42)),
    ("warning", (255, 184, 64), (240, 130, 10)),
    ("question", (84, 164, 255), (26, 112, 230)),
    ("information", (84, 164, 255), (26, 112, 230)),
    ("success", (92, 210, 120), (32, 160, 72)),
]


def symbol_glyph(kind, size):
    m = Mask(size, size)
    c = size / 2
    if kind == "error":
        d = 6.2
        m.stroke([(c - d, c - d), (c + d, c + d)], 3.6)
        m.stroke([(c - d, c + d), (c + d, c - d)], 3.6)
    elif kind == "warning":
        m.stroke([(c, c - 9), (c, c + 2.5)], 4.0)
        m.circle(c, c + 8, 2.4)
    elif kind == "question":
        m.text(c + 0.3, c + 0.8, "?", "dejavu-bold", 25)
    elif kind == "information":
        m.circle(c, c - 8.2, 2.5)
        m.stroke([(c, c - 2.5), (c, c + 9)], 4.0)
    elif kind == "success":
        m.stroke([(c - 7.5, c + 0.5), (c - 2.2, c + 5.8), (c + 8, c - 5.5)], 3.8)
    return m.done()


def symbol_cell(kind, light, dark):
    size = 40
    cell = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    disc = Mask(size, size).circle(20, 19.5, 16.5).done()
    paint(cell, (0, 20, 40, 255), blurred(shifted(disc, 0, 1), 1.4), 0.28)
    paint(cell, vgradient((size, size), [(0, (*light, 255)), (1, (*dark, 255))], 3, 36), disc)
    # Gloss on the upper half and a thin darker rim.
    gloss = Mask(size, size).ellipse(8, 4.5, 32, 20).done()
    paint(cell, vgradient((size, size), [(0, (255, 255, 255, 110)),
                                          (1, (255, 255, 255, 0))], 4, 20), gloss)
    rim = Mask(size, size).circle(20, 19.5, 16.5)
    rim.cut(Mask(size, size).circle(20, 19.5, 15.6))
    paint(cell, (*dark, 255), rim.done(), 0.6)
    glyph = symbol_glyph(kind, size)
    paint(cell, (0, 0, 0, 255), blurred(shifted(glyph, 0, 1), 0.8), 0.22)
    paint(cell, (255, 255, 255, 255), glyph)
    return cell


def make_symbols():
    strip = Image.new("RGBA", (200, 40), (0, 0, 0, 0))
    for i, (kind, light, dark) in enumerate(SYMBOLS):
        strip.alpha_composite(symbol_cell(kind, light, dark), (40 * i, 0))
    return strip


# ---------------------------------------------------------------------------
# Loading panel: 117 x 92, a dark rounded panel with 加载中 near its bottom.
# The spinner (32 x 32) sits on it at (40, 15) in the download window and at
# (40, 25) in the splash window; both places are the panel's flat body colour,
# which is also the colour the spinner's edges are blended with.

PANEL_W, PANEL_H = 117, 92
PANEL_FILL = (34, 38, 46)
PANEL_ALPHA = 240


def make_loading_panel():
    w, h = PANEL_W, PANEL_H
    panel = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    body = Mask(w, h).rrect(1, 1, w - 1, h - 1, 8).done()
    paint(panel, (0, 0, 0, 255), blurred(body, 1.0), 0.35)
    paint(panel, (*PANEL_FILL, PANEL_ALPHA), body)
    # A faint sheen across the top and a hairline rim.
    sheen = Mask(w, h).rrect(1, 1, w - 1, 14, 8, corners=(True, True, False, False)).done()
    paint(panel, vgradient((w, h), [(0, (255, 255, 255, 18)), (1, (255, 255, 255, 0))],
                           1, 14), sheen)
    rim = Mask(w, h).rrect(1, 1, w - 1, h - 1, 8)
    rim.cut(Mask(w, h).rrect(2, 2, w - 2, h - 2, 7))
    paint(panel, (255, 255, 255, 255), rim.done(), 0.10)
    label = Mask(w, h, 4).text(w / 2, 73, "加 载 中", "sans-regular", 13).done()
    paint(panel, (0, 0, 0, 255), shifted(label, 0, 1), 0.4)
    paint(panel, (232, 236, 242, 255), label)
    return panel


# ---------------------------------------------------------------------------
# Spinner: 32 x 32 animated GIF, 12 frames of 5/100 s, looping. A ring arc
# with a fading tail turns 30 degrees a frame. GIF transparency is all or
# nothing, so every visible pixel is pre-blended over the panel's colour:
# index 0 is transparent, index i (1..255) is the spinner colour at
# coverage i/255 over the panel.

SPIN_SIZE = 32
SPIN_FRAMES = 12
SPIN_DELAY = 5
SPIN_COLOUR = (110, 184, 255)


def spinner_frame(step):
    size = SPIN_SIZE
    cx = cy = size / 2
    radius, width = 10.5, 3.4
    # Faint full track.
    track = Mask(size, size)
    track.circle(cx, cy, radius + width / 2)
    track.cut(Mask(size, size).circle(cx, cy, radius - width / 2))
    coverage = track.done().point(lambda v: round(v * 0.14))
    # The arc: 270 degrees, drawn as short pieces whose strength rises to
    # the head; the head leads in the clockwise direction.
    head = -90 + 30 * step
    pieces = 36
    span = 270
    arc = Image.new("L", (size, size), 0)
    for i in range(pieces):
        a0 = head - span + span * i / pieces
        a1 = head - span + span * (i + 1) / pieces + 1.5
        strength = 0.08 + 0.92 * ((i + 1) / pieces) ** 1.2
        piece = Mask(size, size).arc(cx, cy, radius, a0, min(a1, head), width).done()
        arc = ImageChops.lighter(arc, piece.point(lambda v, s=strength: round(v * s)))
    return ImageChops.lighter(coverage, arc)


def gif_lzw(indices, min_code_size=8):
    """Standard GIF LZW compression of a sequence of colour indices."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bits = 0
    nbits = 0

    def emit(code, width):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    width = min_code_size + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    emit(clear, width)
    current = ()
    for value in indices:
        candidate = current + (value,)
        if candidate in table:
            current = candidate
            continue
        emit(table[current], width)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            width = min_code_size + 1
        current = (value,)
    if current:
        emit(table[current], width)
    emit(end, width)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def make_spinner():
    size = SPIN_SIZE
    palette = bytearray()
    for i in range(256):
        palette += bytes(lerp(PANEL_FILL, SPIN_COLOUR, i / 255))
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", size, size, 0xF7, 0, 0)  # 256-colour table
    gif += palette
    gif += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for step in range(SPIN_FRAMES):
        coverage = spinner_frame(step)
        # Faint fringes become transparent rather than specks of panel colour.
        indices = bytes(v if v >= 6 else 0 for v in coverage.getdata())
        # Disposal 2 (restore to background) so a frame's transparent
        # pixels never show the previous frame.
        gif += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, (2 << 2) | 1, SPIN_DELAY, 0, 0)
        gif += struct.pack("<BHHHHB", 0x2C, 0, 0, size, size, 0)
        gif += bytes([8]) + gif_blocks(gif_lzw(indices))
    gif += b"\x3B"
    return bytes(gif)


# ---------------------------------------------------------------------------
# Program icon: 48, 32 and 16 pixels, 32-bit colour with alpha: a white 字 on
# a rounded blue tile. Each size is drawn on its own pixel grid.

ICON_TOP = (66, 168, 255)
ICON_BOTTOM = (10, 104, 226)


def icon_image(size):
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    inset = {48: 2, 32: 1, 16: 0}[size]
    radius = {48: 10, 32: 7, 16: 3.5}[size]
    tile = Mask(size, size).rrect(inset, inset, size - inset, size - inset, radius).done()
    if size >= 32:
        paint(img, (0, 30, 80, 255), blurred(shifted(tile, 0, 1), 1.0), 0.35)
    paint(img, vgradient((size, size), [(0, (*ICON_TOP, 255)), (1, (*ICON_BOTTOM, 255))],
                         inset, size - inset), tile)
    if size >= 32:
        sheen = vgradient((size, size), [(0, (255, 255, 255, 60)), (1, (255, 255, 255, 0))],
                          inset, size * 0.55)
        paint(img, sheen, tile)
    glyph_size, glyph_y = {48: (28, 22.5), 32: (19, 15), 16: (13, 8.2)}[size]
    glyph = Mask(size, size).text(size / 2, glyph_y, "字",
                                  "sans-black" if size == 16 else "sans-bold",
                                  glyph_size).done()
    if size >= 32:
        paint(img, (0, 40, 110, 255), blurred(shifted(glyph, 0, 1), 0.8), 0.45)
    paint(img, (255, 255, 255, 255), glyph)
    # A short gold stroke under the glyph, like a pen's underline.
    if size >= 32:
        y = size * 0.835
        accent = Mask(size, size).stroke([(size * 0.36, y), (size * 0.64, y)],
                                         size / 16).done()
        paint(img, (255, 200, 64, 255), accent)
    return img


def ico_bytes(images):
    """A .ico of 32-bit BMP images (BGRA, bottom-up, with the AND mask)."""
    entries = []
    for img in images:
        w, h = img.size
        pixels = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = img.getpixel((x, y))
                pixels += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(w):
                if img.getpixel((x, y))[3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                             len(pixels) + len(mask), 0, 0, 0, 0)
        entries.append((w, h, header + pixels + mask))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for w, h, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in entries:
        out += data
    return bytes(out)


# ---------------------------------------------------------------------------
# Catalogue previews: 530 x 313 JPEG, one per entry, each a loading screen of
# the game set in that entry's style. Drawn at twice the size and reduced.

PREVIEW_W, PREVIEW_H = 530, 313
K = 2  # previews are drawn at twice their size

CARD_NAMES = ["疾风剑客", "暗夜猎手", "星之守护", "寒冰射手", "光辉使者"]


def k(v):
    return round(v * K)


def blank_mask():
    return Image.new("L", (PREVIEW_W * K, PREVIEW_H * K), 0)


def text_mask(x, baseline, text, font_name, size, spacing=0.0, jitter=None,
              align="left"):
    """Mask of a line of text set one character at a time (1x coordinates).

    jitter(i) may give (dy, degrees) per character for lively styles.
    """
    fnt = font(font_name, k(size))
    advances = [fnt.getlength(ch) + k(spacing) for ch in text]
    total = sum(advances) - (k(spacing) if text else 0)
    pen = k(x)
    if align == "center":
        pen -= total / 2
    elif align == "right":
        pen -= total
    mask = blank_mask()
    ascent, descent = fnt.getmetrics()
    for i, ch in enumerate(text):
        if ch != " ":
            pad = k(size) // 2
            cell = Image.new("L", (round(advances[i]) + 2 * pad,
                                   ascent + descent + 2 * pad), 0)
            ImageDraw.Draw(cell).text((pad, pad + ascent), ch, font=fnt, fill=255,
                                      anchor="ls")
            dy, angle = jitter(i) if jitter else (0, 0)
            if angle:
                cell = cell.rotate(angle, resample=Image.BICUBIC)
            top = k(baseline) - ascent - pad + k(dy)
            placed = Image.new("L", mask.size, 0)
            placed.paste(cell, (round(pen) - pad, top))
            mask = ImageChops.lighter(mask, placed)
        pen += advances[i]
    return mask


def rounded(mask, radius, level=128):
    """Rounds every corner of a shape: blur, then cut at `level` (lower is
    bolder), keeping a soft anti-aliased edge."""
    soft = mask.filter(ImageFilter.GaussianBlur(radius))
    gain = 255 / 48
    return soft.point(lambda v: max(0, min(255, round((v - level) * gain + 128))))


def grown(mask, radius):
    """The shape widened by about `radius` pixels, with round corners."""
    return rounded(mask.filter(ImageFilter.MaxFilter(2 * round(radius) - 1))
                   if radius >= 1.5 else mask, max(1.0, radius / 2.5), 70)


def fill_image(stops, box=None, direction="v"):
    """A gradient over the preview, optionally limited to rows/columns of box."""
    size = (PREVIEW_W * K, PREVIEW_H * K)
    if direction == "v":
        y0, y1 = (k(box[0]), k(box[1])) if box else (0, size[1])
        return vgradient(size, stops, y0, y1)
    grad = vgradient((size[1], size[0]), stops,
                     *(k(box[0]), k(box[1])) if box else (0, size[0]))
    return grad.transpose(Image.TRANSPOSE)


def lay_text(canvas, mask, fill, outline=None, shadow=None, glow=None):
    """Paints a text mask with optional outline (colour, width), shadow
    (colour, dx, dy, blur, opacity) and glow (colour, blur, opacity)."""
    body = mask
    if outline:
        body = grown(mask, k(outline[1]))
    if glow:
        colour, blur, opacity = glow
        paint(canvas, colour, blurred(body, k(blur)), opacity)
    if shadow:
        colour, dx, dy, blur, opacity = shadow
        shade = shifted(body, k(dx), k(dy))
        if blur:
            shade = blurred(shade, k(blur))
        paint(canvas, colour, shade, opacity)
    if outline:
        paint(canvas, outline[0], body)
    paint(canvas, fill, mask)


def scaled(points):
    return [(k(x), k(y)) for x, y in points]


def rrect_mask(x0, y0, x1, y1, r):
    return Mask(PREVIEW_W * K, PREVIEW_H * K, 1).rrect(k(x0), k(y0), k(x1), k(y1),
                                                       k(r)).image


def circle_mask(cx, cy, r):
    return Mask(PREVIEW_W * K, PREVIEW_H * K, 1).circle(k(cx), k(cy), k(r)).image


class PreviewStyle:
    """How one catalogue entry looks: its face, shaping and colours."""

    def __init__(self, **fields):
        self.__dict__.update(fields)


def styled(canvas, style, x, baseline, text, size, role, align="left", fill=None):
    jitter = style.jitter if role == "title" else None
    mask = text_mask(x, baseline, text, style.face, size, style.spacing.get(role, 0),
                     jitter, align)
    if style.shape:
        mask = style.shape(mask, size)
    look = {"title": style.title, "line": style.body}.get(role, {"fill": None})
    lay_text(canvas, mask, fill or look["fill"], look.get("outline"), look.get("shadow"),
             look.get("glow"))


def avatar(canvas, cx, cy, r, colours):
    """A round portrait: a head-and-shoulders silhouette on a gradient."""
    disc = circle_mask(cx, cy, r)
    paint(canvas, fill_image([(0, colours[0]), (1, colours[1])], (cy - r, cy + r)), disc)
    figure = blank_mask()
    figure = ImageChops.lighter(figure, circle_mask(cx, cy - r * 0.18, r * 0.36))
    body = Mask(PREVIEW_W * K, PREVIEW_H * K, 1).ellipse(
        k(cx - r * 0.72), k(cy + r * 0.28), k(cx + r * 0.72), k(cy + r * 1.5)).image
    figure = ImageChops.multiply(ImageChops.lighter(figure, body), disc)
    paint(canvas, colours[2], figure, 0.9)
    ring = ImageChops.subtract(circle_mask(cx, cy, r + 1.6), disc)
    paint(canvas, colours[3], ring)


def loading_cards(canvas, style, rng):
    card_w, card_h, gap, top = 90, 124, 12, 176
    left = (PREVIEW_W - 5 * card_w - 4 * gap) / 2
    progress = sorted((rng.randint(38, 100) for _ in range(5)), reverse=True)
    progress[0] = 100
    for i, name in enumerate(CARD_NAMES):
        x = left + i * (card_w + gap)
        card = rrect_mask(x, top, x + card_w, top + card_h, style.card_radius)
        paint(canvas, (0, 0, 0, 255), blurred(shifted(card, 0, k(2)), k(3)), 0.25)
        paint(canvas, style.card_fill, card)
        rim = ImageChops.subtract(card, rrect_mask(x + 1, top + 1, x + card_w - 1,
                                                   top + card_h - 1, style.card_radius - 1))
        paint(canvas, style.card_rim, rim)
        avatar(canvas, x + card_w / 2, top + 32, 22, style.avatar)
        styled(canvas, style, x + card_w / 2, top + 79, name, 14, "card", "center",
               style.card_text)
        bar_x, bar_y, bar_w = x + 12, top + 92, card_w - 24
        paint(canvas, style.bar_back, rrect_mask(bar_x, bar_y, bar_x + bar_w, bar_y + 5, 2.5))
        done = bar_w * progress[i] / 100
        paint(canvas, fill_image([(0, style.bar[0]), (1, style.bar[1])],
                                 (bar_x, bar_x + bar_w), "h"),
              rrect_mask(bar_x, bar_y, bar_x + done, bar_y + 5, 2.5))
        pct = text_mask(x + card_w / 2, top + 113, "%d%%" % progress[i], "sans-medium", 11,
                        align="center")
        paint(canvas, style.card_muted, pct)


def badge(canvas, style, n):
    text = "字体预览  %d / 8" % n
    fnt = font("sans-medium", k(11))
    width = fnt.getlength(text) / K + 20
    pill = rrect_mask(22, 16, 22 + width, 36, 10)
    paint(canvas, style.badge_fill, pill)
    paint(canvas, style.badge_text, text_mask(32, 30, text, "sans-medium", 11))


def render_preview(n, style):
    rng = random.Random(1000 + n)
    canvas = style.background(rng)
    badge(canvas, style, n)
    styled(canvas, style, 28, 96, style.name, 50, "title")
    styled(canvas, style, 30, 130, style.line, 19, "line", fill=style.line_fill)
    latin = text_mask(31, 155, "Fontiva  ABCDEFG abcdefg 0123456789", style.face, 14,
                      style.spacing.get("latin", 0))
    if style.shape:
        latin = style.shape(latin, 14)
    paint(canvas, style.latin_fill, latin)
    if style.decorate:
        style.decorate(canvas, rng)
    loading_cards(canvas, style, rng)
    image = canvas.convert("RGB").resize((PREVIEW_W, PREVIEW_H), Image.LANCZOS)
    buffer = io.BytesIO()
    image.save(buffer, "JPEG", quality=92, subsampling=0, optimize=True)
    return buffer.getvalue()


# Backgrounds and decorations, one pair per entry.

def diagonal_gradient(c0, c1, c2=None):
    w, h = PREVIEW_W * K, PREVIEW_H * K
    small = Image.new("RGBA", (64, 40))
    for y in range(40):
        for x in range(64):
            t = (x / 63 * 0.65 + y / 39 * 0.35)
            if c2 is None:
                small.putpixel((x, y), lerp(c0, c1, t))
            else:
                small.putpixel((x, y), lerp(c0, c1, t * 2) if t < 0.5
                               else lerp(c1, c2, (t - 0.5) * 2))
    return small.resize((w, h), Image.BICUBIC)


def bokeh(canvas, rng, count, colour, rmin, rmax, opacity, blur):
    layer = blank_mask()
    for _ in range(count):
        cx, cy = rng.uniform(0, PREVIEW_W), rng.uniform(0, PREVIEW_H)
        r = rng.uniform(rmin, rmax)
        strength = round(255 * rng.uniform(0.35, 1.0))
        layer = ImageChops.lighter(layer, Mask(PREVIEW_W * K, PREVIEW_H * K, 1).circle(
            k(cx), k(cy), k(r), strength).image)
    paint(canvas, colour, blurred(layer, k(blur)), opacity)


def star_points(cx, cy, r_out, r_in, points=5, rotation=-90):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rotation + i * 180 / points)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def heart_points(cx, cy, s):
    pts = []
    for i in range(60):
        t = 2 * math.pi * i / 60
        x = 16 * math.sin(t) ** 3
        y = -(13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t))
        pts.append((cx + x * s / 16, cy + y * s / 16))
    return pts


def polygon_mask(points, value=255):
    return Mask(PREVIEW_W * K, PREVIEW_H * K, 1).polygon(scaled(points), value).image


def bg_official(rng):
    canvas = diagonal_gradient((10, 22, 44, 255), (18, 46, 82, 255), (9, 20, 38, 255))
    # Light beams from the upper right.
    beams = blank_mask()
    for i in range(5):
        x = 300 + i * 52 + rng.uniform(-8, 8)
        beams = ImageChops.lighter(beams, polygon_mask(
            [(x, -10), (x + 22, -10), (x - 160, 330), (x - 200, 330)], 255))
    paint(canvas, (120, 170, 230, 255), blurred(beams, k(6)), 0.10)
    # A faint hexagon lattice.
    hexes = blank_mask()
    for row in range(9):
        for col in range(16):
            cx = col * 36 + (18 if row % 2 else 0)
            cy = row * 31
            ring = polygon_mask([(cx + 17 * math.cos(math.radians(60 * j + 30)),
                                  cy + 17 * math.sin(math.radians(60 * j + 30)))
                                 for j in range(6)])
            inner = polygon_mask([(cx + 16 * math.cos(math.radians(60 * j + 30)),
                                   cy + 16 * math.sin(math.radians(60 * j + 30)))
                                  for j in range(6)])
            hexes = ImageChops.lighter(hexes, ImageChops.subtract(ring, inner))
    paint(canvas, (150, 190, 240, 255), hexes, 0.06)
    bokeh(canvas, rng, 18, (255, 214, 120, 255), 1.5, 4, 0.5, 1.2)
    return canvas


def deco_official(canvas, rng):
    line = fill_image([(0, (200, 160, 80, 0)), (0.15, (232, 196, 110, 255)),
                       (1, (200, 160, 80, 0))], (28, 330), "h")
    paint(canvas, line, rrect_mask(28, 104, 330, 106, 1))


def bg_romantic(rng):
    canvas = diagonal_gradient((252, 214, 230, 255), (226, 196, 240, 255),
                               (190, 180, 242, 255))
    bokeh(canvas, rng, 26, (255, 255, 255, 255), 6, 26, 0.55, 3)
    bokeh(canvas, rng, 40, (255, 255, 255, 255), 1, 3, 0.8, 0.6)
    return canvas


def deco_romantic(canvas, rng):
    petals = blank_mask()
    for cx, cy, s in [(468, 58, 15), (432, 96, 9), (494, 114, 7), (404, 40, 6)]:
        petals = ImageChops.lighter(petals, polygon_mask(heart_points(cx, cy, s)))
    paint(canvas, (255, 255, 255, 255), blurred(petals, k(2)), 0.45, (0, 0))
    paint(canvas, (236, 112, 160, 255), petals, 0.8)


def bg_girl(rng):
    canvas = Image.new("RGBA", (PREVIEW_W * K, PREVIEW_H * K))
    canvas.paste(fill_image([(0, (255, 233, 240, 255)), (1, (255, 244, 226, 255))]))
    stripes = blank_mask()
    for i in range(-10, 30):
        x = i * 28
        stripes = ImageChops.lighter(stripes, polygon_mask(
            [(x, 0), (x + 10, 0), (x + 10 - 120, 320), (x - 120, 320)]))
    paint(canvas, (255, 255, 255, 255), stripes, 0.35)
    marks = blank_mask()
    for _ in range(16):
        cx, cy = rng.uniform(340, 520), rng.uniform(8, 160)
        s = rng.uniform(3, 8)
        shape = star_points(cx, cy, s, s * 0.45) if rng.random() < 0.5 \
            else heart_points(cx, cy, s)
        marks = ImageChops.lighter(marks, polygon_mask(shape))
    paint(canvas, (255, 150, 180, 255), marks, 0.55)
    return canvas


def bg_doll(rng):
    canvas = Image.new("RGBA", (PREVIEW_W * K, PREVIEW_H * K))
    canvas.paste(fill_image([(0, (255, 226, 110, 255)), (1, (255, 176, 72, 255))]))
    dots = blank_mask()
    for row in range(12):
        for col in range(22):
            cx = col * 26 + (13 if row % 2 else 0)
            cy = row * 26 + 6
            dots = ImageChops.lighter(dots, circle_mask(cx, cy, 5))
    paint(canvas, (255, 255, 255, 255), dots, 0.22)
    wave = [(0, 150)]
    for i in range(54):
        x = i * 10
        wave.append((x, 152 + 8 * math.sin(x / 26)))
    wave += [(530, 313), (0, 313)]
    paint(canvas, (255, 255, 255, 255), polygon_mask(wave), 0.18)
    return canvas


def deco_doll(canvas, rng):
    sun = circle_mask(470, 70, 30)
    rays = blank_mask()
    for i in range(12):
        a = math.radians(i * 30 + 8)
        rays = ImageChops.lighter(rays, Mask(PREVIEW_W * K, PREVIEW_H * K, 1).stroke(
            scaled([(470 + 38 * math.cos(a), 70 + 38 * math.sin(a)),
                    (470 + 50 * math.cos(a), 70 + 50 * math.sin(a))]), k(5)).image)
    paint(canvas, (255, 255, 255, 255), grown(ImageChops.lighter(sun, rays), k(3)))
    paint(canvas, (255, 140, 30, 255), rays)
    paint(canvas, fill_image([(0, (255, 214, 60, 255)), (1, (255, 150, 30, 255))],
                             (40, 100)), sun)
    face = blank_mask()
    face = ImageChops.lighter(face, circle_mask(460, 64, 3.5))
    face = ImageChops.lighter(face, circle_mask(480, 64, 3.5))
    face = ImageChops.lighter(face, Mask(PREVIEW_W * K, PREVIEW_H * K, 1).arc(
        k(470), k(74), k(9), 20, 160, k(3)).image)
    paint(canvas, (120, 60, 20, 255), face)
    cheeks = ImageChops.lighter(circle_mask(452, 78, 4.5), circle_mask(488, 78, 4.5))
    paint(canvas, (255, 110, 110, 255), blurred(cheeks, k(1.5)), 0.6)


def bg_art(rng):
    canvas = Image.new("RGBA", (PREVIEW_W * K, PREVIEW_H * K))
    canvas.paste(fill_image([(0, (247, 242, 232, 255)), (1, (234, 224, 206, 255))]))
    # Layered ink-wash hills.
    for layer, (base, amp, colour, opacity, blur) in enumerate([
            (150, 46, (120, 140, 150, 255), 0.28, 5),
            (190, 34, (80, 100, 110, 255), 0.30, 3),
            (236, 24, (50, 64, 72, 255), 0.32, 2)]):
        pts = [(0, 320)]
        phase = rng.uniform(0, 6)
        for i in range(0, 541, 6):
            y = base - amp * (0.6 * math.sin(i / 70 + phase) + 0.4 * math.sin(i / 29 + phase * 2)) \
                + (0 if i > 300 else 30 - i / 10)
            pts.append((i, y))
        pts.append((540, 320))
        hills = polygon_mask(pts)
        fade = fill_image([(0, (255, 255, 255, 255)), (1, (255, 255, 255, 60))],
                          (base - amp, 313)).getchannel("A")
        paint(canvas, colour, ImageChops.multiply(blurred(hills, k(blur)), fade), opacity)
    sun = circle_mask(440, 62, 26)
    paint(canvas, (200, 70, 50, 255), blurred(sun, k(1)), 0.75)
    return canvas


def deco_art(canvas, rng):
    seal = rrect_mask(286, 52, 318, 84, 3)
    paint(canvas, (188, 40, 30, 255), seal, 0.92)
    inner = ImageChops.subtract(rrect_mask(289, 55, 315, 81, 2), rrect_mask(290.5, 56.5, 313.5, 79.5, 1.5))
    paint(canvas, (250, 230, 220, 255), inner, 0.9)
    mark = text_mask(302, 67, "唯", "serif-bold", 12, align="center")
    mark = ImageChops.lighter(mark, text_mask(302, 79, "艺", "serif-bold", 12, align="center"))
    paint(canvas, (250, 236, 226, 255), mark)


def cloud(cx, cy, s):
    m = blank_mask()
    for dx, dy, r in [(-1.2, 0.25, 0.55), (-0.45, -0.25, 0.75), (0.4, -0.1, 0.65),
                      (1.1, 0.25, 0.5), (0, 0.35, 0.6)]:
        m = ImageChops.lighter(m, circle_mask(cx + dx * s, cy + dy * s, r * s))
    return m


def bg_cartoon(rng):
    canvas = Image.new("RGBA", (PREVIEW_W * K, PREVIEW_H * K))
    canvas.paste(fill_image([(0, (94, 190, 255, 255)), (1, (40, 128, 232, 255))]))
    rays = blank_mask()
    for i in range(18):
        a0 = math.radians(i * 20)
        a1 = math.radians(i * 20 + 9)
        rays = ImageChops.lighter(rays, polygon_mask(
            [(470, 40), (470 + 700 * math.cos(a0), 40 + 700 * math.sin(a0)),
             (470 + 700 * math.cos(a1), 40 + 700 * math.sin(a1))]))
    paint(canvas, (255, 255, 255, 255), rays, 0.08)
    for cx, cy, s in [(440, 150, 34), (110, 210, 26), (300, 40, 18), (520, 230, 30)]:
        c = cloud(cx, cy, s)
        paint(canvas, (30, 90, 170, 255), blurred(shifted(c, 0, k(4)), k(3)), 0.25)
        paint(canvas, (255, 255, 255, 255), c, 0.92)
    return canvas


def deco_cartoon(canvas, rng):
    burst = polygon_mask(star_points(462, 62, 40, 30, 12, -90))
    paint(canvas, (20, 50, 110, 255), grown(burst, k(3)))
    paint(canvas, fill_image([(0, (255, 232, 80, 255)), (1, (255, 170, 30, 255))],
                             (22, 102)), burst)
    word = text_mask(462, 71, "GO!", "dejavu-bold", 22, align="center")
    paint(canvas, (230, 60, 50, 255), word)


def paw(cx, cy, s, angle):
    m = blank_mask()
    ca, sa = math.cos(math.radians(angle)), math.sin(math.radians(angle))

    def at(dx, dy):
        return cx + (dx * ca - dy * sa) * s, cy + (dx * sa + dy * ca) * s
    px, py = at(0, 0.35)
    m = ImageChops.lighter(m, Mask(PREVIEW_W * K, PREVIEW_H * K, 1).ellipse(
        k(px - 0.55 * s), k(py - 0.45 * s), k(px + 0.55 * s), k(py + 0.45 * s)).image)
    for dx, dy in [(-0.62, -0.3), (-0.22, -0.68), (0.22, -0.68), (0.62, -0.3)]:
        tx, ty = at(dx, dy)
        m = ImageChops.lighter(m, circle_mask(tx, ty, 0.22 * s))
    return m


def bg_meow(rng):
    canvas = diagonal_gradient((255, 240, 226, 255), (255, 222, 204, 255), (252, 206, 196, 255))
    paws = blank_mask()
    for i in range(9):
        x = 40 + i * 60 + rng.uniform(-10, 10)
        y = 300 - i * 18 + rng.uniform(-6, 6)
        paws = ImageChops.lighter(paws, paw(x, y - 130, 12, rng.uniform(-30, 30) + 20))
    paint(canvas, (214, 140, 110, 255), paws, 0.16)
    return canvas


def deco_meow(canvas, rng):
    # A cat peeking over the title's right side.
    cx, cy = 458, 96
    head = Mask(PREVIEW_W * K, PREVIEW_H * K, 1).ellipse(
        k(cx - 42), k(cy - 34), k(cx + 42), k(cy + 30)).image
    ears = ImageChops.lighter(polygon_mask([(cx - 40, cy - 12), (cx - 34, cy - 58), (cx - 8, cy - 32)]),
                              polygon_mask([(cx + 40, cy - 12), (cx + 34, cy - 58), (cx + 8, cy - 32)]))
    head = rounded(ImageChops.lighter(head, ears), k(1.5))
    paint(canvas, (150, 80, 50, 255), grown(head, k(2.5)))
    paint(canvas, fill_image([(0, (255, 200, 140, 255)), (1, (245, 160, 100, 255))],
                             (cy - 58, cy + 30)), head)
    inner = ImageChops.lighter(polygon_mask([(cx - 33, cy - 22), (cx - 31, cy - 48), (cx - 15, cy - 32)]),
                               polygon_mask([(cx + 33, cy - 22), (cx + 31, cy - 48), (cx + 15, cy - 32)]))
    paint(canvas, (255, 170, 170, 255), rounded(inner, k(1)))
    eyes = ImageChops.lighter(Mask(PREVIEW_W * K, PREVIEW_H * K, 1).arc(
        k(cx - 16), k(cy - 4), k(7), 200, 340, k(3)).image,
        Mask(PREVIEW_W * K, PREVIEW_H * K, 1).arc(k(cx + 16), k(cy - 4), k(7), 200, 340, k(3)).image)
    mouth = ImageChops.lighter(
        Mask(PREVIEW_W * K, PREVIEW_H * K, 1).arc(k(cx - 5), k(cy + 6), k(5), 10, 170, k(2.4)).image,
        Mask(PREVIEW_W * K, PREVIEW_H * K, 1).arc(k(cx + 5), k(cy + 6), k(5), 10, 170, k(2.4)).image)
    paint(canvas, (110, 56, 36, 255), ImageChops.lighter(eyes, mouth))
    whiskers = blank_mask()
    for side in (-1, 1):
        for dy in (-3, 4):
            whiskers = ImageChops.lighter(whiskers, Mask(PREVIEW_W * K, PREVIEW_H * K, 1).stroke(
                scaled([(cx + side * 24, cy + 8 + dy * 0.4), (cx + side * 48, cy + 4 + dy)]),
                k(1.6)).image)
    paint(canvas, (120, 64, 40, 255), whiskers, 0.8)
    cheeks = ImageChops.lighter(circle_mask(cx - 26, cy + 10, 6), circle_mask(cx + 26, cy + 10, 6))
    paint(canvas, (255, 120, 120, 255), blurred(cheeks, k(2)), 0.5)


def bg_heavy(rng):
    canvas = diagonal_gradient((18, 8, 10, 255), (58, 12, 16, 255), (16, 6, 8, 255))
    slashes = blank_mask()
    for x, wdt in [(300, 70), (392, 26), (436, 12), (-40, 40)]:
        slashes = ImageChops.lighter(slashes, polygon_mask(
            [(x + 120, -10), (x + 120 + wdt, -10), (x + wdt - 60, 330), (x - 60, 330)]))
    paint(canvas, fill_image([(0, (230, 40, 40, 255)), (1, (120, 10, 20, 255))]), slashes, 0.55)
    lines = blank_mask()
    for i in range(0, 330, 4):
        lines = ImageChops.lighter(lines, Mask(PREVIEW_W * K, PREVIEW_H * K, 1).rect(
            0, k(i), PREVIEW_W * K, k(i) + 1).image)
    paint(canvas, (0, 0, 0, 255), lines, 0.18)
    return canvas


def deco_heavy(canvas, rng):
    bar = polygon_mask([(28, 104), (250, 104), (244, 110), (28, 110)])
    paint(canvas, (230, 36, 36, 255), bar)


def round_shape(radius_ratio, level):
    """Rounded, and bolder for a level under 128. Small text gets a milder
    treatment so that its strokes stay apart."""
    def shape(mask, size):
        t = min(1.0, size / 40)
        return rounded(mask, max(0.8, k(size) * radius_ratio * (0.5 + 0.5 * t)),
                       128 + (level - 128) * t)
    return shape


def bounce(amplitude, degrees):
    pattern = [(-1, -1), (0.6, 1), (-0.4, -0.5), (1, 0.8), (-0.8, -0.9), (0.3, 0.6)]

    def jitter(i):
        dy, turn = pattern[i % len(pattern)]
        return dy * amplitude, turn * degrees
    return jitter


PREVIEW_STYLES = [
    PreviewStyle(
        name="官方默认", face="sans-bold", shape=None, jitter=None,
        spacing={"title": 2, "line": 1},
        line="集结队友，向胜利进发！",
        title={"fill": fill_image([(0, (255, 240, 190, 255)), (1, (214, 170, 86, 255))], (50, 98)),
               "shadow": ((0, 0, 0, 255), 0, 2, 2, 0.6),
               "glow": ((255, 200, 100, 255), 8, 0.18)},
        body={"fill": (236, 222, 186, 255), "shadow": ((0, 0, 0, 255), 0, 1, 0, 0.6)},
        line_fill=(236, 240, 248, 255), latin_fill=(150, 176, 210, 255),
        background=bg_official, decorate=deco_official,
        card_fill=(14, 30, 56, 235), card_rim=(200, 164, 92, 255), card_radius=6,
        card_text=(240, 226, 190, 255), card_muted=(150, 170, 200, 255),
        avatar=[(60, 100, 160, 255), (26, 50, 90, 255), (150, 190, 240, 255), (200, 164, 92, 255)],
        bar_back=(40, 60, 90, 255), bar=[(200, 150, 60, 255), (255, 224, 140, 255)],
        badge_fill=(200, 164, 92, 60), badge_text=(240, 220, 170, 255)),
    PreviewStyle(
        name="浪漫雅圆", face="sans-medium", shape=round_shape(0.035, 118), jitter=None,
        spacing={"title": 4, "line": 1.5, "latin": 0.5},
        line="愿你走过的每一步，都有花开的声音",
        title={"fill": (255, 255, 255, 255), "shadow": ((170, 80, 150, 255), 0, 3, 4, 0.45),
               "outline": ((196, 110, 170, 255), 2)},
        body={"fill": (118, 66, 130, 255)},
        line_fill=(112, 62, 124, 255), latin_fill=(150, 100, 160, 255),
        background=bg_romantic, decorate=deco_romantic,
        card_fill=(255, 255, 255, 170), card_rim=(255, 255, 255, 255), card_radius=12,
        card_text=(118, 66, 130, 255), card_muted=(160, 110, 170, 255),
        avatar=[(250, 190, 220, 255), (200, 170, 240, 255), (255, 255, 255, 255), (255, 255, 255, 255)],
        bar_back=(230, 210, 236, 255), bar=[(246, 140, 190, 255), (180, 150, 240, 255)],
        badge_fill=(255, 255, 255, 150), badge_text=(150, 90, 150, 255)),
    PreviewStyle(
        name="方正少女", face="kai-regular", shape=None, jitter=bounce(2.5, 4),
        spacing={"title": 6, "line": 1.5},
        line="今天也要元气满满地出发哦～",
        title={"fill": fill_image([(0, (255, 122, 158, 255)), (1, (236, 78, 124, 255))], (50, 98)),
               "outline": ((255, 255, 255, 255), 3.2),
               "shadow": ((230, 120, 150, 255), 0, 3, 2, 0.35)},
        body={"fill": (226, 84, 124, 255)},
        line_fill=(214, 86, 120, 255), latin_fill=(226, 130, 150, 255),
        background=bg_girl, decorate=None,
        card_fill=(255, 255, 255, 200), card_rim=(255, 196, 212, 255), card_radius=14,
        card_text=(220, 80, 120, 255), card_muted=(230, 140, 160, 255),
        avatar=[(255, 206, 220, 255), (255, 170, 196, 255), (255, 250, 252, 255), (255, 196, 212, 255)],
        bar_back=(255, 226, 234, 255), bar=[(255, 150, 180, 255), (255, 110, 150, 255)],
        badge_fill=(255, 140, 170, 70), badge_text=(220, 80, 120, 255)),
    PreviewStyle(
        name="华康娃娃", face="sans-black", shape=round_shape(0.04, 110), jitter=bounce(2, 3),
        spacing={"title": 4, "line": 1.5},
        line="小小英雄，大大梦想！冲呀！",
        title={"fill": fill_image([(0, (255, 128, 40, 255)), (1, (240, 80, 30, 255))], (50, 98)),
               "outline": ((255, 255, 255, 255), 4),
               "shadow": ((170, 80, 20, 255), 0, 4, 0, 0.55)},
        body={"fill": (200, 90, 20, 255)},
        line_fill=(176, 80, 16, 255), latin_fill=(196, 110, 40, 255),
        background=bg_doll, decorate=deco_doll,
        card_fill=(255, 250, 236, 230), card_rim=(255, 255, 255, 255), card_radius=16,
        card_text=(220, 100, 30, 255), card_muted=(200, 130, 70, 255),
        avatar=[(255, 200, 90, 255), (255, 150, 60, 255), (255, 244, 220, 255), (255, 255, 255, 255)],
        bar_back=(255, 226, 180, 255), bar=[(255, 180, 40, 255), (255, 110, 30, 255)],
        badge_fill=(255, 255, 255, 120), badge_text=(200, 90, 20, 255)),
    PreviewStyle(
        name="方正唯艺", face="serif-light", shape=None, jitter=None,
        spacing={"title": 10, "line": 3, "latin": 1},
        line="一笔一画，皆是山水风景",
        title={"fill": (38, 48, 54, 255), "shadow": ((60, 50, 40, 255), 0, 2, 3, 0.18)},
        body={"fill": (50, 60, 66, 255)},
        line_fill=(70, 78, 82, 255), latin_fill=(120, 110, 96, 255),
        background=bg_art, decorate=deco_art,
        card_fill=(252, 248, 240, 215), card_rim=(180, 164, 140, 255), card_radius=3,
        card_text=(46, 56, 62, 255), card_muted=(130, 118, 100, 255),
        avatar=[(200, 196, 186, 255), (130, 140, 140, 255), (244, 240, 232, 255), (180, 164, 140, 255)],
        bar_back=(226, 216, 198, 255), bar=[(90, 100, 104, 255), (188, 60, 44, 255)],
        badge_fill=(60, 70, 76, 30), badge_text=(80, 86, 90, 255)),
    PreviewStyle(
        name="方正卡通", face="sans-black", shape=round_shape(0.03, 118), jitter=bounce(4, 6),
        spacing={"title": 3, "line": 1},
        line="嘿！准备好一起去冒险了吗？",
        title={"fill": fill_image([(0, (255, 240, 90, 255)), (1, (255, 190, 30, 255))], (50, 98)),
               "outline": ((24, 52, 110, 255), 4),
               "shadow": ((14, 30, 70, 255), 3, 4, 0, 0.8)},
        body={"fill": (255, 255, 255, 255), "outline": ((24, 52, 110, 255), 2)},
        line_fill=(255, 255, 255, 255), latin_fill=(220, 240, 255, 255),
        background=bg_cartoon, decorate=deco_cartoon,
        card_fill=(255, 255, 255, 240), card_rim=(24, 52, 110, 255), card_radius=10,
        card_text=(30, 70, 150, 255), card_muted=(90, 130, 190, 255),
        avatar=[(120, 210, 255, 255), (50, 140, 240, 255), (255, 255, 255, 255), (24, 52, 110, 255)],
        bar_back=(210, 230, 250, 255), bar=[(255, 200, 40, 255), (255, 130, 40, 255)],
        badge_fill=(255, 255, 255, 90), badge_text=(255, 255, 255, 255)),
    PreviewStyle(
        name="方正喵呜", face="kai-bold", shape=round_shape(0.05, 96), jitter=bounce(3, 5),
        spacing={"title": 5, "line": 1.5},
        line="喵～今天也是努力的一天呀",
        title={"fill": fill_image([(0, (186, 104, 66, 255)), (1, (150, 76, 46, 255))], (50, 98)),
               "outline": ((255, 246, 236, 255), 3.2),
               "shadow": ((190, 120, 90, 255), 0, 3, 2, 0.4)},
        body={"fill": (160, 86, 54, 255)},
        line_fill=(150, 82, 52, 255), latin_fill=(186, 120, 90, 255),
        background=bg_meow, decorate=deco_meow,
        card_fill=(255, 252, 246, 220), card_rim=(240, 196, 170, 255), card_radius=14,
        card_text=(160, 86, 54, 255), card_muted=(196, 136, 106, 255),
        avatar=[(255, 214, 170, 255), (245, 170, 120, 255), (255, 244, 232, 255), (240, 196, 170, 255)],
        bar_back=(250, 224, 206, 255), bar=[(250, 170, 120, 255), (226, 120, 80, 255)],
        badge_fill=(200, 120, 80, 40), badge_text=(160, 86, 54, 255)),
    PreviewStyle(
        name="方正大黑", face="sans-black", shape=round_shape(0.017, 104), jitter=None,
        spacing={"title": 0, "line": 0.5},
        line="全军出击  势不可挡！",
        title={"fill": fill_image([(0, (255, 255, 255, 255)), (1, (220, 220, 224, 255))], (50, 98)),
               "shadow": ((200, 20, 30, 255), 4, 4, 0, 0.95)},
        body={"fill": (255, 255, 255, 255)},
        line_fill=(250, 250, 250, 255), latin_fill=(220, 140, 140, 255),
        background=bg_heavy, decorate=deco_heavy,
        card_fill=(20, 10, 12, 230), card_rim=(200, 30, 36, 255), card_radius=2,
        card_text=(255, 255, 255, 255), card_muted=(220, 140, 140, 255),
        avatar=[(120, 20, 26, 255), (40, 8, 10, 255), (230, 70, 70, 255), (200, 30, 36, 255)],
        bar_back=(70, 30, 32, 255), bar=[(200, 20, 30, 255), (255, 90, 70, 255)],
        badge_fill=(230, 36, 36, 200), badge_text=(255, 255, 255, 255)),
]


def make_previews():
    return [render_preview(n, style) for n, style in enumerate(PREVIEW_STYLES, 1)]


# ---------------------------------------------------------------------------

def write(root, relative, data):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (relative, len(data)))


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

    sprite = png_bytes(make_caption_sprite())
    assert sprite[:8] == b"\x89PNG\r\n\x1a\n"
    write(root, "toolkit/assets/caption_sprite.bin", sprite[8:])
    write(root, "toolkit/assets/button_skin.png", png_bytes(make_button_skin()))
    write(root, "toolkit/assets/check_mark.png", png_bytes(make_check_mark()))
    write(root, "msgbox/assets/face.png", png_bytes(make_face()))
    write(root, "msgbox/assets/symbols.png", png_bytes(make_symbols()))
    write(root, "app/assets/loading_panel.png", png_bytes(make_loading_panel()))
    write(root, "app/assets/spinner.gif", make_spinner())
    write(root, "app/assets/fontiva.ico", ico_bytes([icon_image(s) for s in (48, 32, 16)]))
    for n, jpeg in enumerate(make_previews(), 1):
        write(root, "app/assets/preview%d.jpg" % n, jpeg)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
