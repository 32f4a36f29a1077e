#!/usr/bin/python3
"""Draws every image of the skin (icons, button faces, the update badges) into OUTPUT_DIR.

Images are drawn at twice their logical size, so that they stay sharp when the toolkit scales
a window to 150 % or 200 %, and supersampled four times more for smooth edges. Needs Debian's
python3-pil and fonts-wqy-microhei. Usage: draw_skin.py OUTPUT_DIR"""
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

DENSITY = 2          # image pixels per logical pixel
SUPER = 4            # extra supersampling while drawing
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

ACCENT = (0x2F, 0x6F, 0xEB)
ACCENT_HOVER = (0x2A, 0x63, 0xD4)
ACCENT_PRESS = (0x24, 0x57, 0xBD)
INSTALL = (0x1F, 0x9D, 0x55)
INSTALL_HOVER = (0x1A, 0x8A, 0x4A)
INSTALL_PRESS = (0x15, 0x76, 0x3F)
BADGE = (0xE5, 0x48, 0x4D)
ICON = (0x4E, 0x55, 0x61)
ICON_STRONG = (0x1F, 0x23, 0x29)
ICON_DISABLED = (0xC3, 0xC7, 0xCD)
HOVER_BG = (0xEB, 0xEE, 0xF2)
PRESS_BG = (0xDD, 0xE2, 0xE8)
MENU_HOVER_BG = (0xF0, 0xF4, 0xFF)
MENU_PRESS_BG = (0xE1, 0xE9, 0xFD)
WHITE = (0xFF, 0xFF, 0xFF)


class Canvas:
    """A drawing surface in logical units; saved downsampled to DENSITY."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.k = DENSITY * SUPER
        self.img = Image.new("RGBA", (width * self.k, height * self.k), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.img)

    def s(self, v):
        return v * self.k

    def box(self, x0, y0, x1, y1):
        return [self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1]

    def rounded(self, x0, y0, x1, y1, r, fill):
        self.d.rounded_rectangle(self.box(x0, y0, x1, y1), radius=self.s(r), fill=fill)

    def circle(self, cx, cy, r, fill=None, outline=None, width=0):
        self.d.ellipse(self.box(cx - r, cy - r, cx + r, cy + r), fill=fill, outline=outline,
                       width=int(self.s(width)) if width else 0)

    def line(self, points, color, width):
        pts = [(self.s(x), self.s(y)) for x, y in points]
        self.d.line(pts, fill=color, width=int(self.s(width)), joint="curve")
        r = self.s(width) / 2
        for x, y in (pts[0], pts[-1]):  # round caps
            self.d.ellipse([x - r, y - r, x + r, y + r], fill=color)

    def arc(self, cx, cy, r, start, end, color, width):
        self.d.arc(self.box(cx - r, cy - r, cx + r, cy + r), start, end, fill=color, width=int(self.s(width)))

    def polygon(self, points, fill):
        self.d.polygon([(self.s(x), self.s(y)) for x, y in points], fill=fill)

    def text(self, cx, cy, text, size, color):
        font = ImageFont.truetype(CJK_FONT, int(self.s(size)))
        self.d.text((self.s(cx), self.s(cy)), text, font=font, fill=color, anchor="mm")

    def save(self, folder, name):
        out = self.img.resize((self.w * DENSITY, self.h * DENSITY), Image.LANCZOS)
        out.save(os.path.join(folder, name), optimize=True)


# Icons, drawn centred on (cx, cy) within a box of `size` logical pixels.
def icon_back(c, cx, cy, color, size=16):
    u = size / 16
    c.line([(cx + 3 * u, cy - 6 * u), (cx - 3 * u, cy), (cx + 3 * u, cy + 6 * u)], color, 1.8 * u)


def icon_forward(c, cx, cy, color, size=16):
    u = size / 16
    c.line([(cx - 3 * u, cy - 6 * u), (cx + 3 * u, cy), (cx - 3 * u, cy + 6 * u)], color, 1.8 * u)


def icon_refresh(c, cx, cy, color, size=16):
    u = size / 16
    c.arc(cx, cy, 6 * u, 40, 340, color, 1.7 * u)
    # arrow head at the arc's end (340 degrees)
    a = math.radians(340)
    ex, ey = cx + 6 * u * math.cos(a), cy + 6 * u * math.sin(a)
    c.polygon([(ex + 3.2 * u, ey - 3.6 * u), (ex + 0.6 * u, ey + 2.6 * u), (ex - 3.4 * u, ey - 1.6 * u)], color)


def icon_menu(c, cx, cy, color, size=16):
    u = size / 16
    for dy in (-5, 0, 5):
        c.line([(cx - 6 * u, cy + dy * u), (cx + 6 * u, cy + dy * u)], color, 1.7 * u)


def icon_gear(c, cx, cy, color, size=16):
    u = size / 16
    for i in range(8):
        a = math.radians(i * 45)
        c.line([(cx + 4.5 * u * math.cos(a), cy + 4.5 * u * math.sin(a)),
                (cx + 6.6 * u * math.cos(a), cy + 6.6 * u * math.sin(a))], color, 2.2 * u)
    c.circle(cx, cy, 4.8 * u, outline=color, width=1.7 * u)
    c.circle(cx, cy, 1.6 * u, fill=color)


def icon_help(c, cx, cy, color, size=16):
    u = size / 16
    c.circle(cx, cy, 7 * u, outline=color, width=1.5 * u)
    c.arc(cx, cy - 1.8 * u, 2.6 * u, 180, 400, color, 1.6 * u)
    c.line([(cx + 0.2 * u, cy + 0.9 * u), (cx, cy + 2.2 * u)], color, 1.6 * u)
    c.circle(cx, cy + 4.4 * u, 1.0 * u, fill=color)


def icon_info(c, cx, cy, color, size=16):
    u = size / 16
    c.circle(cx, cy, 7 * u, outline=color, width=1.5 * u)
    c.circle(cx, cy - 3.6 * u, 1.0 * u, fill=color)
    c.line([(cx, cy - 0.8 * u), (cx, cy + 4 * u)], color, 1.7 * u)


def icon_exit(c, cx, cy, color, size=16):
    u = size / 16
    c.arc(cx, cy + 0.8 * u, 6 * u, -60 + 360, 240 + 360, color, 1.6 * u)
    c.line([(cx, cy - 7 * u), (cx, cy - 0.5 * u)], color, 1.7 * u)


def icon_close(c, cx, cy, color, size=16):
    u = size / 16
    c.line([(cx - 5 * u, cy - 5 * u), (cx + 5 * u, cy + 5 * u)], color, 1.5 * u)
    c.line([(cx - 5 * u, cy + 5 * u), (cx + 5 * u, cy - 5 * u)], color, 1.5 * u)


def icon_minimise(c, cx, cy, color, size=16):
    u = size / 16
    c.line([(cx - 5 * u, cy), (cx + 5 * u, cy)], color, 1.5 * u)


def logo(c, x, y, size):
    """The product mark: a rounded accent square with a white tick (as the program icon)."""
    c.rounded(x, y, x + size, y + size, size * 0.22, ACCENT)
    u = size / 16
    c.line([(x + 4.2 * u, y + 8.4 * u), (x + 7 * u, y + 11.2 * u), (x + 12 * u, y + 5.2 * u)], WHITE, 1.9 * u)


def draw_faces(folder, prefix, width, height, icon, states, radius=4, icon_size=16):
    """One image per state: background of the state and the icon centred."""
    for state, (bg, fg) in states.items():
        c = Canvas(width, height)
        if bg:
            c.rounded(0, 0, width, height, radius, bg)
        icon(c, width / 2, height / 2, fg, icon_size)
        c.save(folder, f"{prefix}_{state}.png")


def main(folder):
    os.makedirs(folder, exist_ok=True)
    tool_states = {"normal": (None, ICON), "hover": (HOVER_BG, ICON_STRONG), "press": (PRESS_BG, ICON_STRONG),
                   "disabled": (None, ICON_DISABLED)}
    for name, icon in (("back", icon_back), ("forward", icon_forward), ("refresh", icon_refresh)):
        draw_faces(folder, f"toolbar_{name}", 28, 25, icon, tool_states)
    c = Canvas(16, 16)
    icon_menu(c, 8, 8, ICON)
    c.save(folder, "toolbar_menu_icon.png")

    # Title bar boxes: the close box turns red under the pointer, as users know it.
    draw_faces(folder, "title_close", 32, 28, icon_close,
               {"normal": (None, ICON), "hover": (BADGE, WHITE), "press": ((0xC4, 0x32, 0x37), WHITE)},
               radius=4, icon_size=14)
    draw_faces(folder, "title_min", 32, 28, icon_minimise,
               {"normal": (None, ICON), "hover": (HOVER_BG, ICON_STRONG), "press": (PRESS_BG, ICON_STRONG)},
               radius=4, icon_size=14)

    # Menu items: whole faces of 168 x 36; the toolkit writes the text from x = 40.
    menu_states = {"normal": (None, ICON), "hover": (MENU_HOVER_BG, ACCENT), "press": (MENU_PRESS_BG, ACCENT_PRESS)}
    for name, icon in (("setting", icon_gear), ("help", icon_help), ("about", icon_info), ("exit", icon_exit)):
        for state, (bg, fg) in menu_states.items():
            c = Canvas(168, 36)
            if bg:
                c.rounded(4, 1, 164, 35, 4, bg)
            icon(c, 22, 18, fg)
            c.save(folder, f"tool_bar_menu_{name}_{state}.png")
    # The about item while an update waits: a red dot on the icon and a "新版本" pill.
    for state, (bg, fg) in menu_states.items():
        c = Canvas(168, 36)
        c.rounded(4, 1, 164, 35, 4, bg if bg else (0xFF, 0xF4, 0xF4))
        icon_info(c, 22, 18, fg)
        c.circle(28.5, 11.5, 3.6, fill=WHITE)
        c.circle(28.5, 11.5, 2.8, fill=BADGE)
        c.rounded(118, 10, 158, 26, 8, BADGE)
        c.text(138, 18, "新版本", 10, WHITE)
        c.save(folder, f"tool_bar_menu_about_update_{state}.png")

    # Radio buttons and check boxes, 16 x 16, placed by the layout with dest.
    for state, (ring, dot, fill) in {"normal": ((0xB8, 0xBE, 0xC7), None, WHITE),
                                     "hover": (ACCENT, None, WHITE),
                                     "selected": (ACCENT, ACCENT, WHITE),
                                     "selectedhover": (ACCENT_HOVER, ACCENT_HOVER, WHITE)}.items():
        c = Canvas(16, 16)
        c.circle(8, 8, 7.5, fill=ring)
        c.circle(8, 8, 6.3, fill=fill)
        if dot:
            c.circle(8, 8, 3.6, fill=dot)
        c.save(folder, f"radio_{state}.png")
    for state, (edge, filled) in {"normal": ((0xB8, 0xBE, 0xC7), False), "hover": (ACCENT, False),
                                  "checked": (ACCENT, True), "checkedhover": (ACCENT_HOVER, True)}.items():
        c = Canvas(16, 16)
        c.rounded(0.5, 0.5, 15.5, 15.5, 3, edge)
        if filled:
            c.line([(4, 8.2), (7, 11), (12, 5.2)], WHITE, 1.7)
        else:
            c.rounded(1.7, 1.7, 14.3, 14.3, 2.2, WHITE)
        c.save(folder, f"checkbox_{state}.png")

    # The product mark in the dialogs, and the two page symbols of the uninstaller.
    c = Canvas(64, 64)
    logo(c, 0, 0, 64)
    c.save(folder, "logo.png")
    c = Canvas(64, 64)
    c.circle(32, 32, 30, fill=(0xE8, 0xF6, 0xEE))
    c.circle(32, 32, 22, fill=INSTALL)
    c.line([(22, 32.5), (29, 39.5), (42, 25.5)], WHITE, 4)
    c.save(folder, "done.png")
    c = Canvas(48, 48)
    c.circle(24, 24, 23, fill=(0xEA, 0xF1, 0xFE))
    icon_help(c, 24, 24, ACCENT, 30)
    c.save(folder, "question.png")

    # The update prompt's main button: "立即更新" to download, "立即安装" once downloaded.
    for prefix, label, colors in (("button_download", "立即更新", (ACCENT, ACCENT_HOVER, ACCENT_PRESS)),
                                  ("button_install_new_version", "立即安装", (INSTALL, INSTALL_HOVER, INSTALL_PRESS))):
        for state, color in zip(("normal", "hover", "press"), colors):
            c = Canvas(120, 34)
            c.rounded(0, 0, 120, 34, 4, color)
            if prefix == "button_install_new_version":
                # a small "install" arrow into a tray before the text
                c.line([(26, 11), (26, 19)], WHITE, 1.6)
                c.line([(22.5, 16), (26, 19.5), (29.5, 16)], WHITE, 1.6)
                c.line([(20.5, 21), (20.5, 23.5), (31.5, 23.5), (31.5, 21)], WHITE, 1.5)
                c.text(66, 17, label, 14, WHITE)
            else:
                c.text(60, 17, label, 14, WHITE)
            c.save(folder, f"{prefix}_{state}.png")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
