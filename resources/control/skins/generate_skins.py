#!/usr/bin/python3
"""Draws every skin image and icon of Corvane.exe and writes resources/control/Skins.rc.

Run with Debian's Python and Pillow (python3-pil):

    /usr/bin/python3 resources/control/skins/generate_skins.py [--preview DIR]

The PNG and ICO files beside this script are its output and are committed; the build only embeds
them. --preview (default build/skins) also writes a contact sheet of every image with its id and
composites of the main window as the program paints it, for looking at the result.

Layout of the main window (pixels, window coordinates), from the program's fixed coordinates:

    title bar           y 0-37, dark; dragging works for y <= 38. The program draws the version
                        label at (125, 11) 120 x 15 and the mode label at (400, 11) 180 x 15 in
                        white, so nothing else is drawn there; the close button sits at (590, 11).
    tab strip           drawn at (6, 38), 606 x 41: the tabs fill rows 0-39 (y 38-77, the hit
                        areas), row 40 (y 78) is the top edge of the page frame, open under the
                        highlighted tab. Tab 0 is x 6-72, tabs 1-6 start at 73, 163, 253, 343,
                        433, 523 and are 90 wide (tab 6 ends with the strip at x 611).
    page                606 x 363 at (6, 79), so it ends at y 441.
    window              618 x 448: a 6-pixel dark margin left, right and below the page, with a
                        one-pixel frame line around the page at x 5, x 612 and y 442.

Pages (606 x 363): a header band y 0-63 in the surface colour (the highlighted tab has the same
colour, so tab and page read as one), a rule at y 64, white content below. Controls belong below
y 72. Action buttons of the pages are 198 x 40 at (204, 288), centred on the page.

Administrator settings container (606 x 363, placed like a page): the menu on the left with six
items in the bands x 5-193, y 35-65, 66-96, 97-127, 128-158, 159-189, 190-220 (the selected one
highlighted, labels drawn here, not by the program); the hosted page covers x 193-601,
y 11-356 (409 x 346) inside a one-pixel frame. The hosted pages paint a 606 x 363 image at their
(0, 0) of which only the top-left 409 x 346 is seen: a header y 0-59, white below; their OK
button is 198 x 40 at (11, 277), which is (204, 288) in container coordinates, the same place as
on the other pages.

Home page: four quadrant images edge to edge (303 x 185 above, 303 x 178 below), each holding
one white card; the four blended buttons (150 x 40, alpha) sit at (105, 120), (400, 120),
(105, 290), (400, 290) of the page. The program blends them over the quadrant image at the
point (background x, 120), which is not always the point really under the button, so every card
is flat white across both places and the rounded corners blend the same either way.

Buttons are four states side by side: normal, hover, pressed, disabled. Opaque buttons are drawn
over the background they will stand on, so their rounded corners need no alpha.
"""

import argparse
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
RC_PATH = os.path.join(os.path.dirname(HERE), "Skins.rc")
REPO = os.path.dirname(os.path.dirname(os.path.dirname(HERE)))

FONT_DIR = "/usr/share/fonts/truetype/nanum"
FONT_REGULAR = os.path.join(FONT_DIR, "NanumBarunGothic.ttf")
FONT_BOLD = os.path.join(FONT_DIR, "NanumBarunGothicBold.ttf")

SS = 4  # supersampling factor for shapes


# ---------------------------------------------------------------------------------------------
# Palette: one navy chrome, one light surface, white content, an accent per task.

def hexc(s):
    s = s.lstrip("#")
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


NAVY_TOP = hexc("#18223A")
NAVY = hexc("#1F2B47")
NAVY_TAB = hexc("#2A3858")
NAVY_TAB_TEXT = hexc("#C3CDE0")
NAVY_EDGE = hexc("#0E1526")
SURFACE = hexc("#F2F5FA")
WHITE = (255, 255, 255)
BORDER = hexc("#D6DDE7")
RULE = hexc("#E3E8EF")
TEXT = hexc("#1D2433")
MUTED = hexc("#667085")
BLUE = hexc("#2F6FDB")
GREEN = hexc("#1E9E62")
ORANGE = hexc("#E8871E")
SLATE = hexc("#4A6B8A")
TEAL = hexc("#138D90")
PURPLE = hexc("#6C5BD4")
GRAY = hexc("#8792A2")
RED = hexc("#D64545")


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def tint(c, t=0.88):
    return mix(c, WHITE, t)


def shade(c, t=0.18):
    return mix(c, (0, 0, 0), t)


_fonts = {}


def font(size, bold=False):
    key = (size, bold)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(FONT_BOLD if bold else FONT_REGULAR, size)
    return _fonts[key]


# ---------------------------------------------------------------------------------------------
# Drawing primitives. Every shape is drawn as a supersampled mask and composited in one colour,
# so edges are smooth and no colour fringes appear on transparent images.

def new_image(size, color=None):
    if color is None:
        return Image.new("RGBA", size, (0, 0, 0, 0))
    return Image.new("RGBA", size, tuple(color) + (255,))


def composite_mask(img, mask, color, opacity=1.0):
    if opacity < 1.0:
        mask = mask.point(lambda v: int(v * opacity))
    layer = Image.new("RGBA", img.size, tuple(color) + (0,))
    layer.putalpha(mask)
    img.alpha_composite(layer)


def shape(img, color, draw_fn, opacity=1.0, ss=SS):
    """draw_fn(draw, s) draws with fill 255 (ink) or 0 (erase) in coordinates multiplied by s."""
    w, h = img.size
    big = Image.new("L", (w * ss, h * ss), 0)
    draw_fn(ImageDraw.Draw(big), ss)
    composite_mask(img, big.resize((w, h), Image.BOX), color, opacity)


def rrect(img, box, radius, color, opacity=1.0):
    x0, y0, x1, y1 = box
    shape(img, color, lambda d, s: d.rounded_rectangle(
        (x0 * s, y0 * s, x1 * s - 1, y1 * s - 1), radius * s, fill=255), opacity)


def rrect_outline(img, box, radius, color, width=1):
    x0, y0, x1, y1 = box

    def fn(d, s):
        d.rounded_rectangle((x0 * s, y0 * s, x1 * s - 1, y1 * s - 1), radius * s, fill=255)
        w = width * s
        d.rounded_rectangle((x0 * s + w, y0 * s + w, x1 * s - 1 - w, y1 * s - 1 - w),
                            max(0, radius * s - w), fill=0)
    shape(img, color, fn)


def fill_rect(img, box, color):
    """Pixel-exact rectangle, box = (x0, y0, x1, y1) with x1, y1 exclusive."""
    x0, y0, x1, y1 = box
    if x1 > x0 and y1 > y0:
        img.paste(tuple(color) + (255,), (x0, y0, x1, y1))


def vgradient(img, box, top, bottom):
    x0, y0, x1, y1 = box
    h = y1 - y0
    for y in range(y0, y1):
        t = (y - y0) / max(1, h - 1)
        fill_rect(img, (x0, y, x1, y + 1), mix(top, bottom, t))


def text(img, xy, s, size, color, bold=False, anchor="la"):
    f = font(size, bold)
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).text(xy, s, font=f, fill=255, anchor=anchor)
    composite_mask(img, mask, color)


def text_width(s, size, bold=False):
    return font(size, bold).getlength(s)


def wrap(s, size, max_width, bold=False):
    """Breaks Korean/English text at spaces so that each line fits max_width."""
    words = s.split(" ")
    lines, cur = [], ""
    for w in words:
        cand = w if not cur else cur + " " + w
        if text_width(cand, size, bold) <= max_width or not cur:
            cur = cand
        else:
            lines.append(cur)
            cur = w
    if cur:
        lines.append(cur)
    return lines


def paragraph(img, xy, s, size, color, max_width, line_height, bold=False):
    x, y = xy
    for line in wrap(s, size, max_width, bold):
        text(img, (x, y), line, size, color, bold)
        y += line_height
    return y


# ---------------------------------------------------------------------------------------------
# Glyphs, drawn into a mask inside the square (x, y, size). Coordinates u, v run 0..1.

def _mapper(box, s):
    x, y, size = box
    return lambda u, v: ((x + u * size) * s, (y + v * size) * s)


def _arrowhead(d, P, cu, cv, r, ang_deg, direction, size_u, fill=255):
    """Triangle at angle ang_deg of the circle (cu, cv, r), pointing along the circle:
    direction +1 for increasing angle (clockwise on screen), -1 for decreasing."""
    a = math.radians(ang_deg)
    pu, pv = cu + r * math.cos(a), cv + r * math.sin(a)
    tu, tv = -math.sin(a) * direction, math.cos(a) * direction   # tangent of motion
    nu, nv = math.cos(a), math.sin(a)                             # outward normal
    tip = P(pu + tu * size_u * 0.9, pv + tv * size_u * 0.9)
    b1 = P(pu - tu * size_u * 0.35 + nu * size_u * 0.75, pv - tv * size_u * 0.35 + nv * size_u * 0.75)
    b2 = P(pu - tu * size_u * 0.35 - nu * size_u * 0.75, pv - tv * size_u * 0.35 - nv * size_u * 0.75)
    d.polygon([tip, b1, b2], fill=fill)


def _arc(d, P, box, s, cu, cv, r, start, end, width_u, fill=255):
    x, y, size = box
    bb = [P(cu - r, cv - r), P(cu + r, cv + r)]
    d.arc([bb[0][0], bb[0][1], bb[1][0], bb[1][1]], start, end, fill=fill,
          width=max(1, int(round(width_u * size * s))))


def _shield_points(P, inset=0.0):
    pts = []
    top_l, top_r = (0.14 + inset, 0.17 + inset * 0.6), (0.86 - inset, 0.17 + inset * 0.6)
    apex = (0.5, 0.05 + inset)
    bottom = (0.5, 0.96 - inset * 1.3)
    # top edge: two gentle lines meeting at the apex
    pts += [top_l, apex, top_r]
    # right side: straight down, then a quadratic curve to the bottom point
    side_r = (0.86 - inset, 0.50)
    pts.append(side_r)
    ctrl = (0.84 - inset, 0.80 - inset * 0.5)
    for i in range(1, 13):
        t = i / 12
        u = (1 - t) ** 2 * side_r[0] + 2 * (1 - t) * t * ctrl[0] + t * t * bottom[0]
        v = (1 - t) ** 2 * side_r[1] + 2 * (1 - t) * t * ctrl[1] + t * t * bottom[1]
        pts.append((u, v))
    left = [(1 - u, v) for (u, v) in reversed(pts[3:-1])]
    pts += left
    pts.append((0.14 + inset, 0.50))
    return [P(u, v) for (u, v) in pts]


STROKE = [1.0]   # stroke weight of the line glyphs; heavier for small icons


def glyph(d, name, box, s, fill=255):
    P = _mapper(box, s)
    x, y, size = box
    W = lambda u: max(1, int(round(u * size * s)))  # noqa: E731 - line width in mask pixels
    if name == "restore":        # one circular arrow, counter-clockwise
        _arc(d, P, box, s, 0.5, 0.53, 0.32, 250, 560, 0.12 * STROKE[0], fill)
        _arrowhead(d, P, 0.5, 0.53, 0.32, 250, -1, 0.20 * STROKE[0], fill)
    elif name == "cycle":        # two arrows chasing each other
        _arc(d, P, box, s, 0.5, 0.5, 0.31, 200, 340, 0.12 * STROKE[0], fill)
        _arc(d, P, box, s, 0.5, 0.5, 0.31, 20, 160, 0.12 * STROKE[0], fill)
        _arrowhead(d, P, 0.5, 0.5, 0.31, 340, +1, 0.19 * STROKE[0], fill)
        _arrowhead(d, P, 0.5, 0.5, 0.31, 160, +1, 0.19 * STROKE[0], fill)
    elif name == "flag":         # restore point: a flag on its pole
        d.rounded_rectangle([P(0.22, 0.12), P(0.31, 0.90)], W(0.04), fill=fill)
        d.polygon([P(0.30, 0.14), P(0.80, 0.14), P(0.68, 0.32), P(0.80, 0.50), P(0.30, 0.50)], fill=fill)
        d.rounded_rectangle([P(0.12, 0.84), P(0.50, 0.93)], W(0.04), fill=fill)
    elif name in ("lock", "unlock"):
        if name == "lock":
            _arc(d, P, box, s, 0.5, 0.38, 0.20, 180, 360, 0.10, fill)
            d.rectangle([P(0.25, 0.37), P(0.35, 0.50)], fill=fill)
            d.rectangle([P(0.65, 0.37), P(0.75, 0.50)], fill=fill)
        else:
            _arc(d, P, box, s, 0.62, 0.30, 0.18, 180, 360, 0.10, fill)
            d.rectangle([P(0.70, 0.29), P(0.80, 0.42)], fill=fill)
            d.rectangle([P(0.44, 0.29), P(0.54, 0.50)], fill=fill)
        d.rounded_rectangle([P(0.18, 0.46), P(0.82, 0.90)], W(0.08), fill=fill)
        hole = 0 if fill == 255 else 255
        d.ellipse([P(0.44, 0.57), P(0.56, 0.69)], fill=hole)
        d.rectangle([P(0.475, 0.64), P(0.525, 0.79)], fill=hole)
    elif name == "chart":        # status: bars on a baseline
        d.rounded_rectangle([P(0.16, 0.50), P(0.32, 0.82)], W(0.03), fill=fill)
        d.rounded_rectangle([P(0.42, 0.22), P(0.58, 0.82)], W(0.03), fill=fill)
        d.rounded_rectangle([P(0.68, 0.38), P(0.84, 0.82)], W(0.03), fill=fill)
        d.rectangle([P(0.10, 0.86), P(0.90, 0.92)], fill=fill)
    elif name == "calendar":
        d.rounded_rectangle([P(0.12, 0.18), P(0.88, 0.88)], W(0.08), fill=fill)
        hole = 0 if fill == 255 else 255
        d.rectangle([P(0.20, 0.38), P(0.80, 0.80)], fill=hole)
        d.rounded_rectangle([P(0.28, 0.08), P(0.36, 0.28)], W(0.03), fill=fill)
        d.rounded_rectangle([P(0.64, 0.08), P(0.72, 0.28)], W(0.03), fill=fill)
        for i in range(3):
            for j in range(2):
                u, v = 0.27 + i * 0.18, 0.45 + j * 0.18
                d.rectangle([P(u, v), P(u + 0.10, v + 0.10)], fill=fill)
    elif name == "gear":
        cu, cv = 0.5, 0.5
        pts = []
        for k in range(8):
            base = k * 45
            for (da, r) in ((-14, 0.30), (-9, 0.43), (9, 0.43), (14, 0.30)):
                a = math.radians(base + da)
                pts.append(P(cu + r * math.cos(a), cv + r * math.sin(a)))
        d.polygon(pts, fill=fill)
        d.ellipse([P(0.20, 0.20), P(0.80, 0.80)], fill=fill)
        hole = 0 if fill == 255 else 255
        d.ellipse([P(0.38, 0.38), P(0.62, 0.62)], fill=hole)
    elif name in ("shield", "shield_check"):
        d.polygon(_shield_points(P), fill=fill)
        if name == "shield_check":
            hole = 0 if fill == 255 else 255
            d.line([P(0.32, 0.50), P(0.45, 0.64), P(0.69, 0.36)], fill=hole, width=W(0.10), joint="curve")
    elif name == "folder":
        d.polygon([P(0.10, 0.22), P(0.40, 0.22), P(0.48, 0.31), P(0.90, 0.31), P(0.90, 0.45),
                   P(0.10, 0.45)], fill=fill)
        d.rounded_rectangle([P(0.10, 0.34), P(0.90, 0.82)], W(0.06), fill=fill)
    elif name == "bolt":
        d.polygon([P(0.58, 0.06), P(0.22, 0.56), P(0.47, 0.56), P(0.40, 0.94), P(0.78, 0.42),
                   P(0.53, 0.42)], fill=fill)
    elif name == "power":
        _arc(d, P, box, s, 0.5, 0.54, 0.32, 300, 600, 0.11, fill)
        d.rounded_rectangle([P(0.445, 0.08), P(0.555, 0.52)], W(0.05), fill=fill)
    elif name == "home":
        d.polygon([P(0.5, 0.10), P(0.92, 0.48), P(0.80, 0.48), P(0.80, 0.88), P(0.20, 0.88),
                   P(0.20, 0.48), P(0.08, 0.48)], fill=fill)
        hole = 0 if fill == 255 else 255
        d.rectangle([P(0.42, 0.62), P(0.58, 0.88)], fill=hole)
    elif name == "one":
        f = ImageFont.truetype(FONT_BOLD, max(4, int(size * s * 0.82)))
        d.text(P(0.5, 0.54), "1", font=f, fill=fill, anchor="mm")
    elif name == "slash":
        d.line([P(0.24, 0.76), P(0.76, 0.24)], fill=fill, width=W(0.13 * STROKE[0]))
        if STROKE[0] < 1.3:     # the ring blurs into the bar at tray size
            d.ellipse([P(0.22, 0.22), P(0.78, 0.78)], outline=fill, width=W(0.11))
    else:
        raise ValueError(name)


def draw_glyph(img, name, box, color, ss=SS):
    shape(img, color, lambda d, s: glyph(d, name, box, s), ss=ss)


def icon_tile(img, box, accent, name, radius=None):
    """A rounded square in a light tint of the accent with the glyph in the accent."""
    x, y, size = box
    rrect(img, (x, y, x + size, y + size), radius if radius is not None else size // 4, tint(accent, 0.86))
    g = size * 0.62
    draw_glyph(img, name, (x + (size - g) / 2, y + (size - g) / 2, g), accent)


# ---------------------------------------------------------------------------------------------
# Buttons: four states side by side (normal, hover, pressed, disabled).

FILLED, OUTLINE = "filled", "outline"


def button_strip(state_size, label, style, accent, background=None, radius=6, text_size=14,
                 arrow=False):
    """background: an RGBA image of the state size the button stands on (opaque buttons), or
    None for an alpha button that the program blends itself."""
    w, h = state_size
    strip = new_image((w * 4, h))
    for i in range(4):
        cell = background.copy() if background is not None else new_image((w, h))
        pressed, disabled = i == 2, i == 3
        if style == FILLED:
            fills = [accent, mix(accent, WHITE, 0.14), shade(accent, 0.16), hexc("#D5DBE4")]
            inks = [WHITE, WHITE, WHITE, hexc("#98A2B3")]
            fill, ink = fills[i], inks[i]
            if not disabled:
                # a soft lower edge gives the button some body
                rrect(cell, (0, 1, w, h), radius, shade(fill, 0.22), 0.55 if background is None else 1.0)
                rrect(cell, (0, 0, w, h - 1), radius, fill)
            else:
                rrect(cell, (0, 0, w, h), radius, fill)
        else:
            borders = [hexc("#BFC8D6"), accent, shade(accent, 0.1), hexc("#DDE2E9")]
            fills = [WHITE, tint(accent, 0.92), tint(accent, 0.82), hexc("#F3F5F8")]
            inks = [TEXT, shade(accent, 0.1), shade(accent, 0.25), hexc("#A7AFBD")]
            fill, ink = fills[i], inks[i]
            rrect(cell, (0, 0, w, h), radius, borders[i])
            rrect(cell, (1, 1, w - 1, h - 1), max(1, radius - 1), fill)
        dy = 1 if pressed else 0
        cy = (h - (0 if style == OUTLINE else 1)) / 2 + dy
        if arrow:
            tw = text_width(label, text_size, True)
            total = tw + 12
            x0 = (w - total) / 2
            text(cell, (x0, cy), label, text_size, ink, True, "lm")
            ax = x0 + tw + 6
            shape(cell, ink, lambda d, s, ax=ax, cy=cy: d.line(
                [(ax * s, (cy - 4) * s), ((ax + 4) * s, cy * s), (ax * s, (cy + 4) * s)],
                fill=255, width=int(1.8 * s), joint="curve"))
        else:
            text(cell, (w / 2, cy), label, text_size, ink, True, "mm")
        strip.paste(cell, (i * w, 0))
    return strip


def close_button_strip(background):
    w, h = background.size
    strip = new_image((w * 4, h))
    looks = [  # (backdrop or None, cross colour)
        (None, hexc("#AEB9CD")),
        (RED, WHITE),
        (shade(RED, 0.2), WHITE),
        (None, hexc("#4E5B78")),
    ]
    for i, (backdrop, ink) in enumerate(looks):
        cell = background.copy()
        if backdrop is not None:
            rrect(cell, (0, 0, w, h), 4, backdrop)
        m = 5.5 + (0.5 if i == 2 else 0)

        def cross(d, s, m=m):
            d.line([(m * s, m * s), ((w - m) * s, (h - m) * s)], fill=255, width=int(1.7 * s))
            d.line([((w - m) * s, m * s), (m * s, (h - m) * s)], fill=255, width=int(1.7 * s))
        shape(cell, ink, cross)
        strip.paste(cell, (i * w, 0))
    return strip


# ---------------------------------------------------------------------------------------------
# The main window, its tab strips and the close button.

WINDOW_SIZE = (618, 448)
TITLE_H = 38
STRIP_POS = (6, 38)
STRIP_SIZE = (606, 41)
PAGE_POS = (6, 79)
PAGE_SIZE = (606, 363)
TAB_LEFT = [6, 73, 163, 253, 343, 433, 523]
CLOSE_POS = (590, 11)
CLOSE_SIZE = (18, 18)

# Tab order of the window: home, status, restore execution, restore point creation, protection
# release, restore schedule, administrator settings.
TAB_LABELS = ["홈", "상태정보", "복구실행", "복구시점생성", "보호해제", "복구 스케쥴", "관리자 설정"]
TAB_PNG = [232, 227, 231, 229, 228, 233, 230]


def main_background():
    img = new_image(WINDOW_SIZE, NAVY)
    vgradient(img, (0, 0, WINDOW_SIZE[0], TITLE_H), NAVY_TOP, NAVY)
    # product mark and name at the left of the title bar (the version label follows at x 125)
    rrect(img, (9, 10, 27, 28), 5, GREEN)
    draw_glyph(img, "cycle", (11, 12, 14), WHITE)
    x = 33
    text(img, (x, 19), "HDD", 10, hexc("#8FA3C7"), True, "lm")
    x += text_width("HDD", 10, True) + 3
    text(img, (x, 19), "Corvane 9", 13, WHITE, True, "lm")
    assert x + text_width("Corvane 9", 13, True) < 121, "the product name runs into the version label"
    # the tab row and the frame around the page
    fill_rect(img, (0, TITLE_H, WINDOW_SIZE[0], TITLE_H + 1), hexc("#2B3A5E"))
    px, py = PAGE_POS
    pw, ph = PAGE_SIZE
    fill_rect(img, (px - 1, py - 1, px + pw + 1, py + ph + 1), BLUE)
    fill_rect(img, (px, py, px + pw, py + ph), SURFACE)
    # an outer edge so the captionless window stands off any desktop
    w, h = WINDOW_SIZE
    for box in ((0, 0, w, 1), (0, h - 1, w, h), (0, 0, 1, h), (w - 1, 0, w, h)):
        fill_rect(img, box, NAVY_EDGE)
    return img


def tab_strip(active, background):
    """background: the main background, so the strip's gaps match it exactly."""
    sx, sy = STRIP_POS
    sw, sh = STRIP_SIZE
    img = background.crop((sx, sy, sx + sw, sy + sh))
    rights = TAB_LEFT[1:] + [sx + sw]
    for i, left in enumerate(TAB_LEFT):
        x0 = left - sx
        x1 = rights[i] - sx - 1          # one pixel of gap between tabs
        if i == len(TAB_LEFT) - 1:
            x1 = sw
        if i == active:
            continue
        rrect(img, (x0, 5, x1, 44), 5, NAVY_TAB)
        text(img, ((x0 + x1) / 2, 23), TAB_LABELS[i], 13, NAVY_TAB_TEXT, False, "mm")
    # the frame's top edge: a blue line along the page, open under the active tab
    fill_rect(img, (0, 40, sw, 41), BLUE)
    left = TAB_LEFT[active] - sx
    right = (rights[active] - sx - 1) if active < len(TAB_LEFT) - 1 else sw
    rrect(img, (left, 2, right, 48), 6, SURFACE)

    def cap(d, s):   # the accent cap follows the tab's rounded top corners
        d.rounded_rectangle((left * s, 2 * s, right * s - 1, 48 * s), 6 * s, fill=255)
        d.rectangle((0, 5 * s, sw * s, sh * s), fill=0)
    shape(img, BLUE, cap)
    fill_rect(img, (left, 40, right, 41), SURFACE)
    text(img, ((left + right) / 2, 23), TAB_LABELS[active], 13, TEXT, True, "mm")
    return img


# ---------------------------------------------------------------------------------------------
# Pages of the main window.

HEADER_H = 64
ACTION_POS = (204, 288)
ACTION_SIZE = (198, 40)


def page_base(title, subtitle, accent, glyph_name, header_h=HEADER_H, size=PAGE_SIZE,
              margin=24, tile=36, title_size=18):
    img = new_image(size, WHITE)
    fill_rect(img, (0, 0, size[0], header_h), SURFACE)
    fill_rect(img, (0, header_h, size[0], header_h + 1), RULE)
    ty = (header_h - tile) // 2
    icon_tile(img, (margin, ty, tile), accent, glyph_name, radius=9)
    tx = margin + tile + 12
    text(img, (tx, ty - 1), title, title_size, TEXT, True)
    text(img, (tx, ty + tile - 1), subtitle, 12, MUTED, False, "ld")
    return img


def section_caption(img, xy, label, accent):
    x, y = xy
    fill_rect(img, (x, y + 1, x + 3, y + 14), accent)
    text(img, (x + 9, y + 7), label, 13, TEXT, True, "lm")


def hint_box(img, box, lines, accent):
    """A tinted note; its height follows the wrapped text, up to the box's bottom."""
    x0, y0, x1, y1 = box
    count = sum(len(wrap(ln, 12, x1 - x0 - 26)) for ln in lines)
    y1 = min(y1, y0 + 17 * count + 16)
    rrect(img, (x0, y0, x1, y1), 6, tint(accent, 0.93))
    fill_rect(img, (x0, y0 + 6, x0 + 3, y1 - 6), tint(accent, 0.45))
    y = y0 + 9
    for ln in lines:
        y = paragraph(img, (x0 + 14, y), ln, 12, hexc("#3B4458"), x1 - x0 - 26, 17)


def page_status():
    img = page_base("상태정보", "드라이브별 복구모드와 백업영역 상태, 터보부팅과 캐시 상태를 보여줍니다.",
                    SLATE, "chart")
    hint_box(img, (30, 80, 576, 128), [
        "백업영역의 여유 공간이 10% 이하이면 백업영역 상태가 '위험', 그보다 많으면 '양호'로 "
        "표시됩니다."], SLATE)
    section_caption(img, (30, 138), "드라이브", SLATE)   # the "other information" group box brings its own caption
    return img


def page_drive_action(title, subtitle, accent, glyph_name, steps):
    img = page_base(title, subtitle, accent, glyph_name)
    hint_box(img, (30, 80, 576, 128), steps, accent)
    section_caption(img, (30, 138), "복구 사용 드라이브", accent)
    return img


def page_release():
    img = page_base("보호해제", "복구 기능을 해제하여 PC에서 변경한 내용이 그대로 유지되게 합니다.",
                    ORANGE, "unlock")
    return img


def page_schedule():
    return page_base("복구 스케쥴", "수동복구 모드 드라이브를 정해 둔 날에 자동으로 복구합니다.",
                     PURPLE, "calendar")


# ---------------------------------------------------------------------------------------------
# Administrator settings container and its hosted pages.

MENU_TOPS = [35, 66, 97, 128, 159, 190]
MENU_X = (5, 193)
HOSTED_POS = (193, 11)
HOSTED_SIZE = (409, 346)
HOSTED_OK_POS = (11, 277)

# item, label, glyph, container background PNG, hosted page background PNG, hosted title, subtitle
SETTINGS = [
    (1, "관리자 암호 변경", "lock", 254, 259, "관리자 암호 변경",
     "현재 암호를 확인한 다음 새 관리자 암호로 바꿉니다."),
    (2, "복구모드 설정", "restore", 252, 257, "복구모드 설정",
     "드라이브마다 자동복구, 수동복구, 복구 미사용을 고릅니다."),
    (3, "복구제외 폴더", "folder", 253, 261, "복구제외 폴더",
     "복구할 때에도 변경 내용을 유지할 폴더를 정합니다."),
    (4, "터보부팅", "bolt", 277, 276, "터보부팅",
     "부팅 캐시를 만들어 보호 중인 PC가 더 빨리 시작됩니다."),
    (5, "보안 설정", "shield_check", 256, 260, "보안 설정",
     "이동식 저장장치, CD-ROM 기록, Windows 업데이트를 제한합니다."),
    (6, "전원관리", "power", 255, 258, "전원관리",
     "매일 정해진 시간에 PC를 종료하거나 재부팅합니다."),
]


SETTINGS_KEYS = ["password", "restore_mode", "excluded_folders", "turbo_boot", "security", "power"]


def settings_container(selected):
    w, h = PAGE_SIZE
    img = new_image(PAGE_SIZE, SURFACE)
    # heading of the menu
    draw_glyph(img, "gear", (14, 10, 16), SLATE)
    text(img, (36, 18), "관리자 설정", 14, TEXT, True, "lm")
    for k, top in enumerate(MENU_TOPS, start=1):
        label, gname = SETTINGS[k - 1][1], SETTINGS[k - 1][2]
        band = (8, top + 1, 187, top + 30)
        if k == selected:
            rrect(img, band, 6, BLUE)
            ink, gink, bold = WHITE, WHITE, True
        else:
            ink, gink, bold = hexc("#2E374A"), hexc("#7A879C"), False
        draw_glyph(img, gname, (18, top + 8, 15), gink)
        text(img, (42, top + 16), label, 13, ink, bold, "lm")
        if k == selected:
            shape(img, WHITE, lambda d, s, top=top: d.line(
                [(172 * s, (top + 11) * s), (176 * s, (top + 15.5) * s), (172 * s, (top + 20) * s)],
                fill=255, width=int(1.6 * s), joint="curve"))
    fill_rect(img, (16, 232, 180, 233), BORDER)
    paragraph(img, (16, 244), "설정을 바꾸려면 관리자 암호가 필요합니다. 일부 설정은 PC를 다시 "
              "시작한 뒤에 적용됩니다.", 11, MUTED, 168, 16)
    # the frame around the hosted page
    hx, hy = HOSTED_POS
    hw, hh = HOSTED_SIZE
    fill_rect(img, (hx - 1, hy - 1, hx + hw + 1, hy + hh + 1), BORDER)
    fill_rect(img, (hx, hy, hx + hw, hy + hh), WHITE)
    return img


# Section captions where the page's controls have known places: the restore-mode list at
# (35, 100), the power-schedule radios from (70, 110).
HOSTED_CAPTIONS = {2: ((35, 76), "드라이브별 복구모드"), 6: ((35, 80), "전원 스케쥴")}


def hosted_page(item):
    _, _, gname, _, _, title, subtitle = SETTINGS[item - 1]
    caption = HOSTED_CAPTIONS.get(item)
    img = new_image(PAGE_SIZE, WHITE)       # only the top-left 409 x 346 is ever seen
    hw = HOSTED_SIZE[0]
    icon_tile(img, (20, 15, 32), BLUE, gname, radius=8)
    text(img, (62, 13), title, 16, TEXT, True)
    text(img, (62, 48), subtitle, 12, MUTED, False, "ld")
    fill_rect(img, (20, 60, hw - 20, 61), RULE)
    if caption:
        section_caption(img, caption[0], caption[1], BLUE)
    return img


# ---------------------------------------------------------------------------------------------
# Home page: four cards, one per quadrant image, and their blended buttons.

HOME_BTN_SIZE = (150, 40)
# quadrant PNG, page position, size, card box in the quadrant, button PNG, button page position,
# background x (y is always 120), accent, glyph, title, description, button label
HOME = [
    (238, (0, 0), (303, 185), (12, 12, 297, 179), 272, (105, 120), 105, BLUE, "restore",
     "복구실행", "선택한 드라이브를 저장된 복구시점의 상태로 되돌립니다.", "복구실행"),
    (237, (303, 0), (303, 185), (6, 12, 291, 179), 271, (400, 120), 98, GREEN, "flag",
     "복구시점생성", "지금 드라이브 상태를 새 복구시점으로 저장합니다.", "복구시점생성"),
    (236, (0, 185), (303, 178), (12, 6, 297, 166), 282, (105, 290), 90, ORANGE, "unlock",
     "보호해제", "복구를 멈추고 PC의 변경 내용을 그대로 유지합니다.", "보호해제"),
    (235, (303, 185), (303, 178), (6, 6, 291, 166), 269, (400, 290), 90, SLATE, "chart",
     "상태정보", "드라이브별 복구모드와 백업영역 상태를 확인합니다.", "상태보기"),
]


HOME_KEYS = ["restore_exe", "restore_point", "release", "status"]


def home_quadrant(entry):
    (_, (px, py), size, card, _, (bx, by), _, accent, gname, title, desc, _) = entry
    img = new_image(size, SURFACE)
    x0, y0, x1, y1 = card
    rrect(img, (x0, y0 + 1, x1, y1 + 1), 10, hexc("#E1E6EE"))      # soft lower edge
    rrect(img, card, 10, WHITE)
    rrect_outline(img, card, 10, hexc("#E4E9F0"))
    qbx, qby = bx - px, by - py                                    # button in quadrant coords
    icon = 62
    icon_tile(img, ((qbx - icon) // 2 + x0 // 2 - 2, qby - 86, icon), accent, gname, radius=16)
    text(img, (qbx, qby - 84), title, 18, TEXT, True)
    paragraph(img, (qbx, qby - 56), desc, 12, MUTED, x1 - qbx - 14, 17)
    return img


def home_button(entry):
    (*_, accent, _, _, _, label) = entry
    return button_strip(HOME_BTN_SIZE, label, FILLED, accent, None, radius=8, text_size=14, arrow=True)


# ---------------------------------------------------------------------------------------------
# Icons (.ico with 16, 32 and 48 pixel images, 32-bit with alpha).

ICONS = [
    (264, "icon_auto_restore", GREEN, "cycle"),       # automatic restore mode
    (286, "icon_day_release", ORANGE, "one"),         # one-day release
    (287, "icon_manual_restore", BLUE, "restore"),    # manual restore mode
    (288, "icon_restore_off", GRAY, "slash"),         # restore not used / released
]


def icon_image(size, color, gname):
    ss = 8
    img = new_image((size, size))
    widen = 1.14 if size <= 16 else 1.06      # a broader shield leaves the glyph more pixels
    P = lambda u, v: ((0.5 + (u - 0.5) * widen) * size * ss, v * size * ss)  # noqa: E731
    edge = shade(color, 0.35)
    shape(img, edge, lambda d, s: d.polygon(_shield_points(P), fill=255), ss=ss)
    inset = 1.0 / size if size <= 16 else 1.5 / size
    shape(img, color, lambda d, s: d.polygon(_shield_points(P, inset), fill=255), ss=ss)

    def right_half(d, s):
        d.polygon(_shield_points(P, inset), fill=255)
        d.rectangle([0, 0, size * ss / 2, size * ss], fill=0)
    shape(img, shade(color, 0.12), right_half, ss=ss)
    g = 0.68 if size <= 16 else 0.56
    gy = 0.47 - g / 2 + 0.02
    STROKE[0] = 1.45 if size <= 16 else 1.15 if size <= 32 else 1.0
    try:
        draw_glyph(img, gname, ((0.5 - g / 2) * size, gy * size, g * size), WHITE, ss=ss)
    finally:
        STROKE[0] = 1.0
    return img


def write_ico(path, images):
    """Writes 32-bit BGRA DIB entries with an AND mask, readable by every Windows version."""
    entries, blobs = [], []
    for img in images:
        w, h = img.size
        px = img.load()
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
        row_bytes = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(row_bytes)
            for x in range(w):
                if px[x, y][3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = header + bytes(xor) + bytes(mask)
        entries.append((w, h, blob))
        blobs.append(blob)
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for (w, h, blob) in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


# ---------------------------------------------------------------------------------------------
# The whole set.

def crop_under(bg, pos, size):
    x, y = pos
    return bg.crop((x, y, x + size[0], y + size[1]))


def build():
    """Returns [(id, file name, image, role)] for every PNG, background first."""
    out = []
    bg = main_background()
    out.append((221, "main_background.png", bg, "main window background, 618 x 448 at (0, 0)"))
    for i, pid in enumerate(TAB_PNG):
        names = ["home", "status", "restore_exe", "restore_point", "release", "schedule", "settings"]
        out.append((pid, "tab_%s.png" % names[i], tab_strip(i, bg),
                    "tab strip with tab %d highlighted, at (6, 38)" % i))
    out.append((263, "button_close.png", close_button_strip(crop_under(bg, CLOSE_POS, CLOSE_SIZE)),
                "close button 1061 at (590, 11)"))

    for key, entry in zip(HOME_KEYS, HOME):
        out.append((entry[0], "home_card_%s.png" % key, home_quadrant(entry),
                    "home quadrant at %s, %d x %d" % (entry[1], entry[2][0], entry[2][1])))
    for key, entry in zip(HOME_KEYS, HOME):
        out.append((entry[4], "home_button_%s.png" % key, home_button(entry),
                    "home button (blended) at %s, background %d at (%d, 120)"
                    % (entry[5], entry[0], entry[6])))

    status = page_status()
    exe = page_drive_action("복구실행", "선택한 드라이브를 저장된 복구시점의 상태로 되돌립니다.",
                            BLUE, "restore",
                            ["복구할 드라이브를 체크한 다음 [복구실행]을 누르세요. 관리자 암호를 "
                             "확인한 뒤 PC가 곧바로 재시작되면서 복구됩니다."])
    crt = page_drive_action("복구시점생성", "선택한 드라이브의 지금 상태를 새 복구시점으로 저장합니다.",
                            GREEN, "flag",
                            ["저장할 드라이브를 체크한 다음 [복구시점생성]을 누르세요. PC가 "
                             "재시작되는 동안 현재 상태가 복구시점으로 저장됩니다."])
    release = page_release()
    schedule = page_schedule()
    pages = [
        (239, "page_status.png", status, "status page background"),
        (240, "page_release.png", release, "protection release page background"),
        (241, "page_restore_point.png", crt, "restore point creation page background"),
        (242, "page_restore_exe.png", exe, "restore execution page background"),
        (243, "page_schedule.png", schedule, "restore schedule page background"),
    ]
    out += pages

    white_action = new_image(ACTION_SIZE, WHITE)
    for pid, name, label, style, accent, role in [
        (244, "button_page_close.png", "닫기", OUTLINE, SLATE, "status page 1061 at (204, 288)"),
        (245, "button_release.png", "보호해제", FILLED, ORANGE, "release page 1065 at (204, 288)"),
        (246, "button_restore_point.png", "복구시점생성", FILLED, GREEN, "restore point page 1063 at (204, 288)"),
        (247, "button_restore_exe.png", "복구실행", FILLED, BLUE, "restore execution page 1062 at (204, 288)"),
        (248, "button_ok.png", "확인", FILLED, BLUE,
         "OK 1066: schedule page at (204, 288); password, restore mode, security, power at (11, 277)"),
        (249, "button_ok_folders.png", "확인", FILLED, BLUE, "excluded folders page OK 1066 at (11, 277)"),
        (278, "button_ok_turbo.png", "확인", FILLED, BLUE, "turbo boot page 1066 at (11, 277)"),
    ]:
        out.append((pid, name, button_strip(ACTION_SIZE, label, style, accent, white_action), role))

    for pid, name, label, size, role in [
        (250, "button_add.png", "추가", (64, 26), "add: schedule 1039, excluded folders 1061"),
        (274, "button_remove.png", "삭제", (64, 26), "remove: schedule 1044, excluded folders 1062"),
        (273, "button_remove_all.png", "전체삭제", (84, 26), "remove all: schedule 1043"),
        (281, "button_browse.png", "찾아보기", (84, 26), "browse: excluded folders 1063"),
    ]:
        out.append((pid, name, button_strip(size, label, OUTLINE, BLUE, new_image(size, WHITE),
                                            radius=4, text_size=12), role + " (template position)"))

    for item, label, gname, cont_id, page_id, _, _ in SETTINGS:
        key = SETTINGS_KEYS[item - 1]
        out.append((cont_id, "settings_menu_%s.png" % key, settings_container(item),
                    "settings container, menu item %d (%s) selected" % (item, key)))
    for item, label, gname, cont_id, page_id, _, _ in SETTINGS:
        key = SETTINGS_KEYS[item - 1]
        out.append((page_id, "settings_page_%s.png" % key, hosted_page(item),
                    "hosted page %d (%s) background, seen 409 x 346 at (193, 11)" % (item, key)))
    return out


def write_rc(pngs):
    lines = [
        "// Skin images (resource type \"PNG\") and icons of the control program.",
        "// Generated by skins/generate_skins.py together with the images; edit the script, not this file.",
        "",
    ]
    for pid, name, _, role in sorted(pngs, key=lambda e: e[0]):
        lines.append(("%-4d PNG  \"skins/%s\"" % (pid, name)).ljust(55) + "// " + role)
    lines.append("")
    for pid, name, _, _ in ICONS:
        lines.append("%-4d ICON \"skins/%s.ico\"" % (pid, name))
    with open(RC_PATH, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


# ---------------------------------------------------------------------------------------------
# Looking at the result: contact sheet and composites of the window as the program paints it.

def blend_button(strip, state, bg_img, bg_point):
    """What the program does for a blended button: background region at bg_point, PNG over it."""
    w, h = strip.size[0] // 4, strip.size[1]
    cell = bg_img.crop((bg_point[0], bg_point[1], bg_point[0] + w, bg_point[1] + h)).convert("RGBA")
    cell.alpha_composite(strip.crop((state * w, 0, state * w + w, h)))
    return cell


def state(strip, i):
    w = strip.size[0] // 4
    return strip.crop((i * w, 0, i * w + w, strip.size[1]))


def mock_label(img, xy, s):
    text(img, xy, s, 12, WHITE, False, "la")


def previews(images, outdir):
    os.makedirs(outdir, exist_ok=True)
    by_id = {pid: img for pid, _, img, _ in images}
    for tab in range(7):
        win = by_id[221].copy()
        mock_label(win, (125, 12), "Ver 9.0.51 (V-IRE)")
        mock_label(win, (400, 12), "복구모드")
        win.paste(state(by_id[263], 1 if tab == 6 else 0), CLOSE_POS)
        win.paste(by_id[TAB_PNG[tab]], STRIP_POS)
        px, py = PAGE_POS
        if tab == 0:
            for entry in HOME:
                win.paste(by_id[entry[0]], (px + entry[1][0], py + entry[1][1]))
            for n, entry in enumerate(HOME):
                b = blend_button(by_id[entry[4]], n % 2, by_id[entry[0]], (entry[6], 120))
                win.paste(b, (px + entry[5][0], py + entry[5][1]))
        elif tab == 6:
            item = 1
            cont = by_id[SETTINGS[item - 1][3]].copy()
            hosted = by_id[SETTINGS[item - 1][4]].crop((0, 0) + HOSTED_SIZE)
            hosted.paste(state(by_id[248], 0), HOSTED_OK_POS)
            cont.paste(hosted, HOSTED_POS)
            win.paste(cont, PAGE_POS)
        else:
            page_id = {1: 239, 2: 242, 3: 241, 4: 240, 5: 243}[tab]
            btn_id = {1: 244, 2: 247, 3: 246, 4: 245, 5: 248}[tab]
            page = by_id[page_id].copy()
            page.paste(state(by_id[btn_id], 0), ACTION_POS)
            d = ImageDraw.Draw(page)
            if tab in (2, 3):
                d.rectangle((30, 160, 30 + 546 - 1, 160 + 97 - 1), outline=hexc("#A0A8B8"))
            if tab == 1:
                d.rectangle((30, 160, 30 + 310 - 1, 160 + 97 - 1), outline=hexc("#A0A8B8"))
            win.paste(page, PAGE_POS)
        win.convert("RGB").save(os.path.join(outdir, "window_tab%d.png" % tab))
    for item in range(1, 7):
        cont = by_id[SETTINGS[item - 1][3]].copy()
        hosted = by_id[SETTINGS[item - 1][4]].crop((0, 0) + HOSTED_SIZE)
        btn = {1: 248, 2: 248, 3: 249, 4: 278, 5: 248, 6: 248}[item]
        hosted.paste(state(by_id[btn], 3 if item == 3 else 0), HOSTED_OK_POS)
        d = ImageDraw.Draw(hosted)
        if item == 2:
            d.rectangle((35, 100, 35 + 350 - 1, 100 + 97 - 1), outline=hexc("#A0A8B8"))
        if item == 6:
            for i in range(3):
                d.rectangle((70, 110 + 30 * i, 70 + 300 - 1, 110 + 30 * i + 13 - 1), outline=hexc("#A0A8B8"))
            d.rectangle((90, 200, 90 + 120 - 1, 200 + 20 - 1), outline=hexc("#A0A8B8"))
        cont.paste(hosted, HOSTED_POS)
        cont.convert("RGB").save(os.path.join(outdir, "settings_item%d.png" % item))

    # contact sheet: every image at full size with its id and file name, four states for buttons
    entries = [(pid, name, img) for pid, name, img, _ in images]
    for pid, name, color, gname in ICONS:
        row = new_image((48 + 32 + 16 + 24, 48))
        x = 0
        for s in (48, 32, 16):
            row.paste(icon_image(s, color, gname), (x, 0))
            x += s + 8
        entries.append((pid, name + ".ico", row))
    pad, sheet_w = 14, 1300
    x = y = pad
    row_h = 0
    placed = []
    for pid, name, img in entries:
        w = max(img.size[0], int(text_width("%d  %s  %dx%d" % (pid, name, 0, 0), 11)) + 30)
        h = img.size[1]
        if x + w > sheet_w - pad:
            x, y = pad, y + row_h + pad
            row_h = 0
        placed.append((x, y, pid, name, img))
        x += w + pad
        row_h = max(row_h, h + 20)
    sheet = new_image((sheet_w, y + row_h + pad), hexc("#9AA3AF"))
    for x, y, pid, name, img in placed:
        text(sheet, (x, y), "%d  %s  %dx%d" % (pid, name, img.size[0], img.size[1]), 11, (0, 0, 0))
        checker = new_image(img.size, (255, 0, 255))
        checker.alpha_composite(img)
        sheet.paste(checker, (x, y + 16))
    sheet.convert("RGB").save(os.path.join(outdir, "contact_sheet.png"))


# Every image id the program loads, with where its pixels must fit. A failed check names the id.
PAGE_IDS = [239, 240, 241, 242, 243, 252, 253, 254, 255, 256, 257, 258, 259, 260, 261, 276, 277]
# button id: [(x, y, width, height of the window it stands in)]
BUTTON_PLACES = {
    244: [(204, 288) + PAGE_SIZE], 245: [(204, 288) + PAGE_SIZE], 246: [(204, 288) + PAGE_SIZE],
    247: [(204, 288) + PAGE_SIZE], 248: [(204, 288) + PAGE_SIZE, (11, 277) + HOSTED_SIZE],
    249: [(11, 277) + HOSTED_SIZE], 278: [(11, 277) + HOSTED_SIZE],
    263: [CLOSE_POS + WINDOW_SIZE],
}
TEMPLATE_BUTTONS = [250, 273, 274, 281]     # keep their template positions


def check_geometry(images):
    """Returns a list of problems with the ids and sizes the program relies on."""
    by_id = {pid: img for pid, _, img, _ in images}
    problems = []
    wanted = set([221] + TAB_PNG + PAGE_IDS + list(BUTTON_PLACES) + TEMPLATE_BUTTONS
                 + [e[0] for e in HOME] + [e[4] for e in HOME])
    for pid in sorted(wanted - set(by_id)):
        problems.append("PNG %d is missing" % pid)
    for pid in sorted(set(by_id) - wanted):
        problems.append("PNG %d is not used by the program" % pid)
    if 221 in by_id and by_id[221].size != WINDOW_SIZE:
        problems.append("221 is %s, the window needs %s" % (by_id[221].size, WINDOW_SIZE))
    for pid in TAB_PNG:
        if pid in by_id and by_id[pid].size != STRIP_SIZE:
            problems.append("tab strip %d is %s, not %s" % (pid, by_id[pid].size, STRIP_SIZE))
    for pid in PAGE_IDS:
        if pid in by_id and by_id[pid].size != PAGE_SIZE:
            problems.append("page %d is %s, not %s" % (pid, by_id[pid].size, PAGE_SIZE))
    for pid in list(BUTTON_PLACES) + TEMPLATE_BUTTONS + [e[4] for e in HOME]:
        if pid in by_id and by_id[pid].size[0] % 4:
            problems.append("button %d: width %d does not hold four equal states" % (pid, by_id[pid].size[0]))
    for pid, places in BUTTON_PLACES.items():
        if pid not in by_id:
            continue
        w, h = by_id[pid].size[0] // 4, by_id[pid].size[1]
        for (x, y, pw, ph) in places:
            if x + w > pw or y + h > ph:
                problems.append("button %d (%d x %d) at (%d, %d) leaves its %d x %d window" % (pid, w, h, x, y, pw, ph))
    for entry in HOME:
        qid, (qx, qy), qsize, _, bid, (bx, by), bgx = entry[:7]
        if qid in by_id and by_id[qid].size != qsize:
            problems.append("home quadrant %d is %s, not %s" % (qid, by_id[qid].size, qsize))
        if bid not in by_id:
            continue
        strip = by_id[bid]
        w, h = strip.size[0] // 4, strip.size[1]
        if strip.mode != "RGBA":
            problems.append("home button %d has no alpha to blend" % bid)
        if bgx + w > qsize[0] or 120 + h > qsize[1]:
            problems.append("home button %d: its background region (%d, 120) %d x %d leaves quadrant %d"
                            % (bid, bgx, w, h, qid))
        # the card must be flat under the button and under the region blended in its place
        if qid in by_id:
            q = by_id[qid].convert("RGB")
            for (x0, y0) in ((bgx, 120), (bx - qx, by - qy)):
                colours = q.crop((x0, y0, x0 + w, y0 + h)).getcolors(1)
                if colours is None:
                    problems.append("home quadrant %d is not flat under button %d at (%d, %d)" % (qid, bid, x0, y0))
    return problems


def save_all(images, folder):
    written = []
    for pid, name, img, _ in images:
        path = os.path.join(folder, name)
        if img.mode == "RGBA" and img.getextrema()[3][0] == 255:
            img = img.convert("RGB")      # opaque images are stored without alpha
        img.save(path, optimize=True)
        written.append(name)
    for pid, name, color, gname in ICONS:
        write_ico(os.path.join(folder, name + ".ico"), [icon_image(s, color, gname) for s in (16, 32, 48)])
        written.append(name + ".ico")
    return written


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--preview", default=os.path.join(REPO, "build", "skins"),
                    help="folder for the contact sheet and window composites (not committed)")
    ap.add_argument("--no-preview", action="store_true")
    ap.add_argument("--check", action="store_true",
                    help="write nothing; fail when the committed files differ from a fresh drawing")
    args = ap.parse_args()

    images = build()
    ids = [pid for pid, _, _, _ in images]
    problems = ["PNG id %d is drawn twice" % pid for pid in set(ids) if ids.count(pid) > 1]
    problems += check_geometry(images)
    for p in problems:
        print("skins: " + p, file=sys.stderr)
    if problems:
        return 1
    if args.check:
        import filecmp
        import tempfile
        with tempfile.TemporaryDirectory() as tmp:
            stale = [n for n in save_all(images, tmp)
                     if not os.path.exists(os.path.join(HERE, n))
                     or not filecmp.cmp(os.path.join(tmp, n), os.path.join(HERE, n), shallow=False)]
            saved_rc = RC_PATH
            globals()["RC_PATH"] = os.path.join(tmp, "Skins.rc")
            write_rc(images)
            globals()["RC_PATH"] = saved_rc
            if not filecmp.cmp(os.path.join(tmp, "Skins.rc"), RC_PATH, shallow=False):
                stale.append("../Skins.rc")
        for n in stale:
            print("skins: %s is not what the script draws; run it again" % n, file=sys.stderr)
        print("skins: %d images and 4 icons checked, %d stale" % (len(images), len(stale)))
        return 1 if stale else 0
    save_all(images, HERE)
    write_rc(images)
    if not args.no_preview:
        previews(images, args.preview)
        print("previews in", args.preview)
    print("%d PNG images and %d icons written to %s" % (len(images), len(ICONS), HERE))
    return 0


if __name__ == "__main__":
    sys.exit(main())
