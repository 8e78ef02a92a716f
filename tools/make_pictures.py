#!/usr/bin/env python3
"""Generate Orvane's binary resources into res/.

    python3 tools/make_pictures.py        (run from the repository root)

Writes:
    res/HORLOGE.BMP    58 x 56 dial face, 8 bits per pixel, 256-entry palette
    res/bell.bmp       12 x 12 alarm bell, 8 bits per pixel
    res/restart.bmp    16 x 16 circular arrow of the countdowns' restart buttons
    res/orvane.ico     program icon, 16 to 64 px (the sizes of 100 % to 200 %), 32-bit BGRA + AND mask
    res/Aidez-moi.doc  French help, as RTF (Word and WordPad open it)
    res/Aidez-moi.html the same help as a web page, for a Windows where
                       nothing opens the document (no WordPad, no office suite)

Only the Python standard library is used, and every byte is computed from
the code below, so the output is identical on every run and every machine.
"""

import math
import os
import struct
import sys

BUTTON_FACE = (240, 240, 240)  # Windows 10+ COLOR_BTNFACE: the dial blends into dialogs


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------

def bmp8_bytes(pixels, first_colours=()):
    """Encode rows of (r, g, b) tuples (top row first) as an 8 bpp BMP.

    The palette lists first_colours in the given order, then every other
    colour in order of first appearance (top-left to bottom-right), then
    black up to 256 entries. A fixed order keeps the output reproducible
    and puts the background at a known index.
    """
    height = len(pixels)
    width = len(pixels[0])
    palette = list(first_colours)
    for row in pixels:
        for colour in row:
            if colour not in palette:
                palette.append(colour)
    if len(palette) > 256:
        raise ValueError("picture uses %d colours, an 8 bpp BMP holds 256" % len(palette))
    index = {colour: i for i, colour in enumerate(palette)}
    palette += [(0, 0, 0)] * (256 - len(palette))

    stride = (width + 3) & ~3  # each row is padded to a multiple of 4 bytes
    image = bytearray()
    for row in reversed(pixels):  # BMP rows are stored bottom-up
        image += bytes(index[c] for c in row)
        image += bytes(stride - width)

    palette_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(palette_bytes)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    # 2835 px/m = 72 dpi; biClrUsed = 256 so every reader sees the full palette.
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0,
                              len(image), 2835, 2835, 256, 0)
    return file_header + info_header + palette_bytes + bytes(image)


def ico_bytes(images):
    """Encode RGBA pictures (lists of rows of (r, g, b, a)) as a classic ICO.

    Each entry is a BITMAPINFOHEADER with doubled height, 32-bit BGRA colour
    rows and a 1 bpp AND mask, both bottom-up. PNG entries are avoided because
    older Windows versions and some resource tools cannot read them.
    """
    entries = []
    for pixels in images:
        size = len(pixels)
        xor = bytearray()
        for row in reversed(pixels):
            for (r, g, b, a) in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(pixels):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:  # fully transparent pixels are masked out for non-alpha displays
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                             len(xor) + len(mask), 0, 0, 0, 0)
        entries.append((size, header + bytes(xor) + bytes(mask)))

    directory = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    data = b""
    for size, blob in entries:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                                 len(blob), offset + len(data))
        data += blob
    return directory + data


# ---------------------------------------------------------------------------
# Small colour helpers
# ---------------------------------------------------------------------------

def mix(c1, c2, t):
    """Linear blend from c1 (t = 0) to c2 (t = 1), rounded to integers."""
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c1, c2))


# ---------------------------------------------------------------------------
# The dial face (HORLOGE.BMP)
# ---------------------------------------------------------------------------

DIAL_W, DIAL_H = 58, 56
DIAL_CX, DIAL_CY = 28, 28      # the program draws the hands from this pixel
DIAL_APOTHEM = 26              # centre to flat edge; leaves room for a 1 px shadow

DIAL_SHADOW = (190, 190, 190)
DIAL_OUTLINE = (96, 8, 14)
DIAL_RIM_LIGHT = (236, 96, 96)   # lit (upper left) half of the bevel ring
DIAL_RIM_DARK = (150, 14, 22)    # shaded (lower right) half
DIAL_FACE_TOP = (214, 38, 44)    # face gets gently darker towards the lower right
DIAL_FACE_BOTTOM = (184, 22, 30)
DIAL_INK = (255, 244, 196)       # numerals and hour dots: warm ivory
DIAL_INK_SHADOW = (110, 10, 16)
DIAL_HUB = (255, 212, 80)
DIAL_HUB_EDGE = (150, 40, 20)    # corners of the hub, so it looks round

# Hand-drawn 5 x 7 digits; '#' is ink. Only those of 12, 3, 6 and 9 are needed.
DIGITS = {
    "1": ["..#..",
          ".##..",
          "..#..",
          "..#..",
          "..#..",
          "..#..",
          ".###."],
    "2": [".###.",
          "#...#",
          "....#",
          "...#.",
          "..#..",
          ".#...",
          "#####"],
    "3": [".###.",
          "#...#",
          "....#",
          "..##.",
          "....#",
          "#...#",
          ".###."],
    "6": ["..##.",
          ".#...",
          "#....",
          "####.",
          "#...#",
          "#...#",
          ".###."],
    "9": [".###.",
          "#...#",
          "#...#",
          ".####",
          "....#",
          "...#.",
          ".##.."],
}


def inside_octagon(dx, dy, apothem):
    """True when (dx, dy) lies in a regular octagon with flat top and sides.

    The slanted edges are |dx| + |dy| = apothem * sqrt(2); on a pixel grid they
    become clean 45-degree staircases, which is why a flat-topped octagon is
    used rather than a pointed one.
    """
    dx, dy = abs(dx), abs(dy)
    return max(dx, dy) <= apothem and dx + dy <= int(apothem * math.sqrt(2))


def text_cells(text):
    """Pixel offsets (x, y) of the ink of `text`, with 1 px between digits."""
    cells = []
    x0 = 0
    for ch in text:
        glyph = DIGITS[ch]
        # '1' is narrow: drop its empty outer columns so "12" stays compact.
        cols = range(5) if ch != "1" else range(1, 4)
        for y, line in enumerate(glyph):
            for i, x in enumerate(cols):
                if line[x] == "#":
                    cells.append((x0 + i, y))
        x0 += len(cols) + 1
    return cells, x0 - 1


def draw_dial():
    px = [[BUTTON_FACE] * DIAL_W for _ in range(DIAL_H)]

    def put(x, y, colour):
        if 0 <= x < DIAL_W and 0 <= y < DIAL_H:
            px[y][x] = colour

    a = DIAL_APOTHEM
    # Soft drop shadow one pixel down and right, as if the dial sits on the window.
    for y in range(DIAL_H):
        for x in range(DIAL_W):
            if inside_octagon(x - DIAL_CX - 1, y - DIAL_CY - 1, a):
                put(x, y, DIAL_SHADOW)

    for y in range(DIAL_H):
        for x in range(DIAL_W):
            dx, dy = x - DIAL_CX, y - DIAL_CY
            if not inside_octagon(dx, dy, a):
                continue
            if not inside_octagon(dx, dy, a - 1):
                colour = DIAL_OUTLINE
            elif not inside_octagon(dx, dy, a - 2):
                # Bevel ring: light from the upper left gives a raised look.
                s = dx + dy
                colour = DIAL_RIM_LIGHT if s < 0 else DIAL_RIM_DARK if s > 0 else \
                    mix(DIAL_RIM_LIGHT, DIAL_RIM_DARK, 0.5)
            else:
                # Diagonal gradient in small steps: smooth at this size and
                # only a few dozen palette entries.
                t = (dx + dy + 2 * a) / (4 * a)
                colour = mix(DIAL_FACE_TOP, DIAL_FACE_BOTTOM, t)
            put(x, y, colour)

    def stamp(cells, left, top):
        # Shadow first (down-right), then the ink, so the numerals read
        # clearly against the red.
        for (cx, cy) in cells:
            put(left + cx + 1, top + cy + 1, DIAL_INK_SHADOW)
        for (cx, cy) in cells:
            put(left + cx, top + cy, DIAL_INK)

    # Numerals: 7 px high, their inner edges 17-18 px from the centre so the
    # hands (at most 12 px long) never touch them.
    for text, (mid_x, mid_y) in (("12", (DIAL_CX, 8)), ("3", (48, DIAL_CY)),
                                 ("6", (DIAL_CX, 48)), ("9", (8, DIAL_CY))):
        cells, width = text_cells(text)
        stamp(cells, mid_x - width // 2, mid_y - 3)

    # Hour dots: a small plus shape reads as a round dot at this size.
    dot = [(0, 0), (-1, 0), (1, 0), (0, -1), (0, 1)]
    for hour in (1, 2, 4, 5, 7, 8, 10, 11):
        angle = math.radians(hour * 30)
        x = DIAL_CX + int(round(20 * math.sin(angle)))
        y = DIAL_CY - int(round(20 * math.cos(angle)))
        stamp([(x + ox, y + oy) for ox, oy in dot], 0, 0)

    # Hub: the hands start here and are drawn over it.
    for ox, oy in dot:
        put(DIAL_CX + ox, DIAL_CY + oy, DIAL_HUB)
    for ox, oy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        put(DIAL_CX + ox, DIAL_CY + oy, DIAL_HUB_EDGE)
    return px


# ---------------------------------------------------------------------------
# The alarm bell (bell.bmp)
# ---------------------------------------------------------------------------

BELL = [
    ".....oo.....",
    "...oooooo...",
    "..ohhyyyso..",
    "..ohyyyyso..",
    "..ohyyyyso..",
    "..ohyyyyso..",
    ".ohyyyyyyso.",
    ".ohyyyyyyso.",
    "ohhyyyyyysso",
    "oooooooooooo",
    "....cccc....",
    ".....cc.....",
]
BELL_COLOURS = {
    ".": BUTTON_FACE,
    "o": (72, 48, 0),       # dark brown outline
    "h": (255, 250, 190),   # highlight
    "y": (255, 212, 0),     # bell yellow
    "s": (204, 150, 0),     # shaded side
    "c": (72, 48, 0),       # clapper
}


def draw_bell():
    return [[BELL_COLOURS[ch] for ch in line] for line in BELL]


# ---------------------------------------------------------------------------
# The stopwatches' lap button: a diskette (disk.bmp)
# ---------------------------------------------------------------------------

DISK = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbbsswwwwwwbbk.",
    ".kbbsswwwwwwbbk.",
    ".kbbsswwwkkwbbk.",
    ".kbbsswwwkkwbbk.",
    ".kbbsswwwwwwbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbblllllllllbk.",
    ".kbbllgggggglbk.",
    ".kbbllllllllllk.",
    ".kbbllgggggglbk.",
    ".kbbllllllllllk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]
DISK_COLOURS = {
    ".": BUTTON_FACE,
    "k": (24, 32, 64),      # outline
    "b": (44, 76, 150),     # blue body
    "s": (90, 120, 190),    # shutter edge
    "w": (208, 212, 220),   # metal shutter
    "l": (250, 250, 250),   # label
    "g": (150, 150, 160),   # lines on the label
}


def draw_disk():
    return [[DISK_COLOURS[ch] for ch in line] for line in DISK]


# ---------------------------------------------------------------------------
# The restart picture (restart.bmp): a clockwise circular arrow
# ---------------------------------------------------------------------------

RESTART_SIZE = 16
RESTART_INK = (28, 132, 56)      # green: "go again"
RESTART_CENTRE = (8.0, 8.8)
RESTART_RADIUS = 5.0             # middle of the arc
RESTART_HALF_WIDTH = 1.15        # the arc is a little over 2 px thick
RESTART_END, RESTART_START = 10.0, 95.0  # degrees clockwise from the top; the gap lies between


def restart_ink_at(fx, fy):
    """True when the point (fx, fy) lies on the arc or on its arrowhead."""
    cx, cy = RESTART_CENTRE
    dx, dy = fx - cx, fy - cy
    angle = (math.degrees(math.atan2(dx, -dy)) + 360) % 360
    if abs(math.hypot(dx, dy) - RESTART_RADIUS) <= RESTART_HALF_WIDTH and \
            not RESTART_END < angle < RESTART_START:
        return True
    # The head sits on the arc's end and points along it, clockwise.
    t = math.radians(RESTART_END)
    bx, by = cx + RESTART_RADIUS * math.sin(t), cy - RESTART_RADIUS * math.cos(t)
    along = (fx - bx) * math.cos(t) + (fy - by) * math.sin(t)
    across = (fx - bx) * math.sin(t) - (fy - by) * math.cos(t)
    length, width = 3.6, 3.2
    return 0 <= along <= length and abs(across) <= width * (1 - along / length)


def draw_restart():
    """4 x 4 supersampling; pixels half covered get a half tone so the curve
    does not look jagged, the rest is the button's face."""
    n = 4
    rows = []
    for y in range(RESTART_SIZE):
        row = []
        for x in range(RESTART_SIZE):
            covered = sum(restart_ink_at(x + (i + 0.5) / n, y + (j + 0.5) / n)
                          for i in range(n) for j in range(n))
            if covered * 2 >= n * n:
                row.append(RESTART_INK)
            elif covered * 4 >= n * n:
                row.append(mix(BUTTON_FACE, RESTART_INK, 0.5))
            else:
                row.append(BUTTON_FACE)
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# The program icon (orvane.ico)
# ---------------------------------------------------------------------------

ICON_OUTLINE = (110, 8, 14)
ICON_FACE = (208, 32, 40)
ICON_WHITE = (255, 255, 255)

# Hands of the 16 px icon, hand-placed pixels showing 10:10.
HANDS_16_TOP = 4
HANDS_16 = [
    "............##..",
    "....##.....###..",
    "....###..###....",
    "......####......",
    ".......##.......",
]


def octagon_distance(x, y):
    """Distance-like measure whose level sets are flat-topped regular octagons."""
    x, y = abs(x), abs(y)
    return max(x, y, (x + y) / math.sqrt(2))


def segment_distance(px, py, ax, ay, bx, by):
    """Distance from point p to the segment a-b."""
    vx, vy = bx - ax, by - ay
    t = ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - ax - t * vx, py - ay - t * vy)


def draw_icon(size):
    """Clock icon at `size` px, anti-aliased by 8 x 8 supersampling."""
    s = size / 32.0          # all lengths below are given for the 32 px icon
    c = size / 2.0
    # Whole-pixel apothem and outline keep the flat edges crisp, not smeared
    # over two half-covered pixels. The 16 px icon uses its full box.
    apothem = c if size <= 16 else c - 1
    outline = max(1, round(1.6 * s))
    # 10:10: the hour hand just past 10 (305 deg), the minute hand on 2 (60 deg).
    hands = [(300 + 10 * 0.5, 7.0 * s), (60, 10.5 * s)]
    hand_w, hub = 1.1 * s, 1.8 * s
    if size <= 16:
        hands = []  # drawn from the HANDS_16 pixel map below instead
    ends = [(c + r * math.sin(math.radians(d)), c - r * math.cos(math.radians(d)))
            for d, r in hands]
    ticks = []
    if size >= 32:  # at 16 px the ticks only add noise
        for k in range(4):
            d = math.radians(90 * k)
            ticks.append((c + 11.5 * s * math.sin(d), c - 11.5 * s * math.cos(d)))

    n = 8
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    fx = x + (sx + 0.5) / n
                    fy = y + (sy + 0.5) / n
                    d = octagon_distance(fx - c, fy - c)
                    if d > apothem:
                        continue
                    colour = ICON_OUTLINE if d > apothem - outline else ICON_FACE
                    if any(math.hypot(fx - tx, fy - ty) <= 1.2 * s for tx, ty in ticks):
                        colour = ICON_WHITE
                    if any(segment_distance(fx, fy, c, c, ex, ey) <= hand_w
                           for ex, ey in ends):
                        colour = ICON_WHITE
                    if hands and math.hypot(fx - c, fy - c) <= hub:
                        colour = ICON_WHITE
                    covered += 1
                    for i in range(3):
                        acc[i] += colour[i]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                # Average of covered samples = un-premultiplied colour.
                rgb = tuple((v + covered // 2) // covered for v in acc)
                alpha = (covered * 255 + n * n // 2) // (n * n)
                row.append(rgb + (alpha,))
        rows.append(row)
    if size <= 16:
        # Smoothed hands turn to a pink smear at 16 px; crisp pixels read better.
        for dy, line in enumerate(HANDS_16):
            for x, ch in enumerate(line):
                if ch == "#":
                    rows[HANDS_16_TOP + dy][x] = ICON_WHITE + (255,)
    return rows


# ---------------------------------------------------------------------------
# The help document (Aidez-moi.doc, RTF)
# ---------------------------------------------------------------------------

# Each entry: ("h", title) for a heading, ("p", text) for a paragraph,
# ("li", text) for a bulleted line. Non-breaking spaces (U+00A0) before
# French double punctuation keep « ; » and « : » off the start of a line.
NB = "\u00a0"
HELP_TITLE = "Orvane \u2014 Aide"
HELP = [
    ("h", "Présentation"),
    ("p", "Orvane est une horloge de bureau. Sa fenêtre affiche l'heure, la date, "
          "le jour de la semaine et un petit cadran à aiguilles" + NB + ": un coup "
          "d'œil suffit pour savoir où en est la journée."),
    ("p", "À chaque heure pleine, Orvane vous le signale" + NB + ": la fenêtre tremble "
          "et émet un bip, ou joue le son de votre choix."),

    ("h", "La fenêtre principale"),
    ("p", "Elle montre en permanence l'heure, la date et le jour. Le cadran rouge "
          "reprend l'heure avec ses aiguilles des heures, des minutes et des "
          "secondes. Une petite cloche jaune rappelle qu'une alarme est en service."),

    ("h", "L'icône de la zone de notification"),
    ("p", "Fermer la fenêtre ne termine pas le programme" + NB + ": l'horloge se range "
          "dans la zone de notification, à côté de l'horloge de Windows. Son icône n'y est "
          "que pendant ce temps" + NB + "; la première fois, une notification le rappelle. "
          "Si Windows refuse l'icône, la fenêtre est réduite dans la barre des tâches."),
    ("li", "Un double clic sur l'icône, ou la commande «" + NB + "Restaurer" + NB + "» de "
           "son menu (clic droit), ramène la fenêtre et retire l'icône."),
    ("li", "La commande «" + NB + "Quitter" + NB + "» termine le programme."),
    ("li", "Lancer Orvane une seconde fois depuis le même dossier ramène aussi la "
           "fenêtre" + NB + ": une seule horloge tourne par dossier."),

    ("h", "Menus"),
    ("li", "Fichier > Quitter" + NB + ": termine le programme."),
    ("li", "Suppléments" + NB + ": Alarmes, Chronomètres, Comptes à rebours et PastTime."),
    ("li", "Plug-ins" + NB + ": les modules complémentaires installés."),
    ("li", "Configuration > Options" + NB + ": le signal horaire et l'aspect de la pendule."),
    ("li", "?" + NB + "> Aide" + NB + ": ce document" + NB + "; A propos..." + NB + ": la "
           "version du programme."),

    ("h", "Alarmes"),
    ("p", "Orvane dispose de cinq alarmes quotidiennes. Réglez l'heure de chacune "
          "et activez celles dont vous avez besoin" + NB + ": une alarme activée sonne "
          "tous les jours à l'heure indiquée."),
    ("p", "Une alarme que l'horloge a dépassée sans sonner (l'ordinateur en veille ou "
          "occupé, l'heure avancée de plus de cinq minutes, le fuseau horaire déplacé vers "
          "l'est) est signalée dans un message qui en donne la raison."),
    ("p", "Une alarme activée sort l'ordinateur de la veille ou de la veille prolongée "
          "une minute avant son heure. Orvane garde ensuite l'ordinateur éveillé jusqu'à "
          "l'alarme, puis tant que son message reste affiché (un quart d'heure au plus). "
          "Pour cela" + NB + ":"),
    ("li", "les paramètres d'alimentation de Windows doivent autoriser les minuteurs de "
           "réveil" + NB + ": Panneau de configuration > Options d'alimentation > Modifier les "
           "paramètres du mode > Modifier les paramètres d'alimentation avancés > Veille > "
           "Autoriser les minuteurs de réveil, réglé sur «" + NB + "Activer" + NB + "», "
           "«" + NB + "Sur batterie" + NB + "» comme «" + NB + "Sur secteur" + NB + "». Les "
           "portables sont souvent livrés avec «" + NB + "Désactiver" + NB + "» sur batterie, et "
           "«" + NB + "Minuteurs de réveil importants uniquement" + NB + "» peut laisser de côté "
           "celui d'Orvane" + NB + ";"),
    ("li", "Orvane doit fonctionner (dans la zone de notification, cela suffit)" + NB + ": le "
           "quitter annule son réveil. La commande powercfg /waketimers, dans une invite de "
           "commandes ouverte en tant qu'administrateur, montre le réveil que Windows garde "
           "pour orvane.exe."),
    ("p", "Si vous activez une alarme alors que le mode d'alimentation interdit les "
          "minuteurs de réveil sur la source d'alimentation en cours, un message vous le "
          "dit, une fois par lancement d'Orvane."),
    ("p", "Windows documente ces réveils pour la veille et la veille prolongée. Sur un "
          "ordinateur en veille moderne, Windows décide lui-même des réveils" + NB + ": une "
          "alarme qui n'a pas pu sonner est signalée au retour."),
    ("p", "Pour être réveillé, choisissez une alarme qui ouvre un fichier son ou une "
          "musique" + NB + ": après un réveil automatique, Windows peut laisser l'écran éteint, "
          "et le message seul passerait inaperçu."),

    ("h", "Comptes à rebours"),
    ("p", "Cinq comptes à rebours indépendants sont disponibles. Indiquez une durée "
          "et lancez le décompte" + NB + ": Orvane vous prévient lorsqu'il arrive à zéro."),
    ("p", "Un compte à rebours jusqu'à une date et une heure se termine 17 secondes avant "
          "le moment choisi, pour que son message soit affiché à ce moment-là."),

    ("h", "Chronomètres"),
    ("p", "Cinq chronomètres indépendants mesurent des durées. Chacun peut "
          "enregistrer des tours (temps intermédiaires) sans s'arrêter."),

    ("h", "PastTime"),
    ("p", "PastTime indique le temps écoulé depuis une date de votre choix" + NB + ": "
          "une naissance, un mariage, le début d'un projet..."),

    ("h", "Options"),
    ("p", "La fenêtre Configuration > Options règle" + NB + ":"),
    ("li", "le son" + NB + ": un simple bip ou un fichier son joué à chaque heure" + NB + ";"),
    ("li", "la vibration" + NB + ": la fenêtre tremble ou non à chaque heure" + NB + ";"),
    ("li", "la pendule" + NB + ": l'image du cadran, la couleur et l'épaisseur des aiguilles."),

    ("h", "Configuration.ini"),
    ("p", "Les réglages sont enregistrés dans le fichier Configuration.ini, dans "
          "le même dossier que le programme. Si Orvane ne peut pas écrire dans ce dossier "
          "(sous C:\\Program Files, sur un support protégé en écriture), ils le sont dans "
          "%APPDATA%\\Orvane\\Configuration.ini" + NB + "; la première fois, un message "
          "indique où. Si les deux fichiers existent, Orvane lit celui qui a été écrit en "
          "dernier."),
    ("p", "Les réglages sont écrits quand vous validez les options (OK) et à la fermeture "
          "normale d'Orvane (Fichier > Quitter, ou «" + NB + "Quitter" + NB + "» dans le "
          "menu de l'icône)" + NB + "; si le programme est interrompu brutalement, les "
          "réglages modifiés depuis leur dernière écriture sont perdus."),

    ("h", "Plug-ins"),
    ("p", "Orvane peut être enrichi par des plug-ins. Un plug-in est une "
          "bibliothèque DLL placée dans le dossier plugins, à côté du programme. "
          "Chaque DLL doit exporter une procédure nommée «" + NB + "plugin" + NB + "», "
          "sans paramètre. Les plug-ins trouvés sont proposés dans le menu "
          "Plug-ins" + NB + "; en choisir un appelle sa procédure «" + NB + "plugin" + NB + "»."),
]


def rtf_escape(text):
    """Escape text for an \\ansicpg1252 RTF body."""
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == NB:
            out.append("\\~")
        elif ord(ch) < 0x80:
            out.append(ch)
        else:
            # Word and WordPad both read \'xx as a Windows-1252 byte.
            out.append("\\'%02x" % ch.encode("cp1252")[0])
    return "".join(out)


def help_rtf():
    lines = [
        r"{\rtf1\ansi\ansicpg1252\deff0\deflang1036",
        r"{\fonttbl{\f0\fswiss\fcharset0 Arial;}}",
        r"{\colortbl;\red150\green16\blue24;}",
        r"\viewkind4\uc1\paperw11906\paperh16838\margl1417\margr1417\margt1134\margb1134",
        r"\pard\sa240\qc\cf1\b\f0\fs36 " + rtf_escape(HELP_TITLE) + r"\b0\cf0\par",
    ]
    for kind, text in HELP:
        if kind == "h":
            lines.append(r"\pard\keepn\sb200\sa60\cf1\b\fs26 " + rtf_escape(text) +
                         r"\b0\cf0\par")
        elif kind == "p":
            lines.append(r"\pard\sa120\fs20 " + rtf_escape(text) + r"\par")
        else:
            # Bullet: cp1252 0x95, then a tab to the hanging indent so that
            # wrapped lines line up with the first.
            lines.append(r"\pard\fi-240\li480\tx480\sa60\fs20 \'95\tab " +
                         rtf_escape(text) + r"\par")
    lines.append("}")
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def html_escape(text):
    """Escape text for an HTML body; the file is UTF-8."""
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def help_html():
    red = "#961018"  # the document's title colour
    lines = [
        "<!DOCTYPE html>",
        '<html lang="fr">',
        "<head>",
        '<meta charset="utf-8">',
        "<title>" + html_escape(HELP_TITLE) + "</title>",
        "<style>",
        "body { font-family: Arial, sans-serif; font-size: 10pt; max-width: 42em; margin: 2em auto; padding: 0 1em; }",
        "h1 { color: %s; font-size: 18pt; text-align: center; margin: 0 0 1em; }" % red,
        "h2 { color: %s; font-size: 13pt; margin: 1.2em 0 0.3em; }" % red,
        "p { margin: 0 0 0.6em; }",
        "ul { margin: 0 0 0.6em; padding-left: 2em; }",
        "li { margin: 0 0 0.3em; }",
        "</style>",
        "</head>",
        "<body>",
        "<h1>" + html_escape(HELP_TITLE) + "</h1>",
    ]
    in_list = False
    for kind, text in HELP:
        if kind != "li" and in_list:
            lines.append("</ul>")
            in_list = False
        if kind == "h":
            lines.append("<h2>" + html_escape(text) + "</h2>")
        elif kind == "p":
            lines.append("<p>" + html_escape(text) + "</p>")
        else:
            if not in_list:
                lines.append("<ul>")
                in_list = True
            lines.append("<li>" + html_escape(text) + "</li>")
    if in_list:
        lines.append("</ul>")
    lines += ["</body>", "</html>"]
    # CRLF, as the document: Windows users may open it in Notepad.
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


# ---------------------------------------------------------------------------

def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    res = os.path.join(root, "res")
    os.makedirs(res, exist_ok=True)
    outputs = {
        "HORLOGE.BMP": bmp8_bytes(draw_dial(), first_colours=[BUTTON_FACE]),
        "bell.bmp": bmp8_bytes(draw_bell(), first_colours=[BUTTON_FACE]),
        "disk.bmp": bmp8_bytes(draw_disk(), first_colours=[BUTTON_FACE]),
        "restart.bmp": bmp8_bytes(draw_restart(), first_colours=[BUTTON_FACE]),
        "orvane.ico": ico_bytes([draw_icon(size) for size in (16, 20, 24, 28, 32, 40, 48, 56, 64)]),
        "Aidez-moi.doc": help_rtf(),
        "Aidez-moi.html": help_html(),
    }
    for name, data in outputs.items():
        with open(os.path.join(res, name), "wb") as f:
            f.write(data)
        print("%-14s %6d bytes" % (name, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
