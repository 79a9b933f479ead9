#!/usr/bin/env python3
"""An independent model of the lighting effects, written from the description of the
lighting model and the effect engines, not from the program's sources.

It runs the same cases as tests/effects/golden_effect_test.cpp: each case is a device
model, its eight lighting settings, a number of steps, the random bytes, the custom colour
store and whether the mode's initialisation runs. For every step it takes the frame the
device is sent (empty when nothing is sent) and the picture as it stands (alpha, red, green,
blue per position), and folds them into one FNV-1a digest per case.

    python3 tests/effects/model/effect_model.py          # prints the table of digests
    python3 tests/effects/model/effect_model.py --check  # compares with the C++ test's table

Readings the description leaves open are taken as the program takes them; each is marked
"reading:" below.
"""

import os
import re
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import tables_text as T  # noqa: E402


def numbers(text):
    return [int(n) for n in re.findall(r"\d+", text)]


def columns(text, rows):
    flat = numbers(text)
    return [flat[i:i + rows] for i in range(0, len(flat), rows)]


# ------------------------------------------------------------------ tables

BRIGHTNESS = [0, 30, 75, 90, 105, 120, 135, 150, 165, 180, 195, 210, 225, 240, 255]
U = [1, 3, 5, 7, 10, 14, 18, 22, 26, 32, 38, 44, 50, 57, 65, 73, 81, 89, 99, 109, 119, 129, 140,
     152, 164, 176, 188, 200, 213, 227, 241, 255]
D = [248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77, 69, 61, 53, 47,
     41, 35, 29, 24, 20, 16, 12, 8, 6, 4, 2, 0]
WHEEL = ([(255, u, 0) for u in U] + [(d, 255, 0) for d in D] + [(0, 255, u) for u in U]
         + [(0, d, 255) for d in D] + [(u, 0, 255) for u in U] + [(255, 0, d) for d in D])
assert len(WHEEL) == 192
WHEEL = WHEEL + WHEEL[:64]  # any byte indexes it

BREATH_UP = [22, 24, 27, 30, 33, 36, 39, 42, 45, 49, 53, 57, 61, 65, 69, 73, 77, 81, 85, 89, 94, 99,
             104, 109, 114, 119, 124, 129, 134, 140, 146, 152, 158, 164, 170, 176, 182, 188, 194, 200,
             206, 213, 220, 227, 234, 241, 248, 255]
BREATH = BREATH_UP + BREATH_UP[::-1]
PULSE_UP = [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 18, 20] + BREATH_UP
PULSE = PULSE_UP + PULSE_UP[::-1]
FADE = [0, 4, 8, 14, 22, 33, 45, 61, 77, 94, 114, 134, 158, 182, 206, 234, 255, 248, 241, 234, 227,
        220, 213, 206, 200, 194, 188, 182, 176, 170, 164, 158, 152, 146, 140, 134, 129, 124, 119, 114,
        109, 104, 99, 94, 89, 85, 81, 77, 73, 69, 65, 61, 57, 53, 49, 45, 42, 39, 36, 33, 30, 27, 24,
        22, 20, 18, 16, 14, 12, 10, 9, 8, 7, 6, 5, 4, 3, 2, 2, 1, 0]
FADE = FADE + [0] * (192 - len(FADE))
assert len(BREATH) == 96 and len(PULSE) == 128 and len(FADE) == 192

RGB_LED_MAP = numbers(T.RGB_LED_MAP_TEXT)
MONO_LED_MAP = numbers(T.MONO_LED_MAP_TEXT)
KEY_COLUMNS7 = columns(T.KEY_COLUMNS7_TEXT, 7)
KEY_COLUMNS6 = columns(T.KEY_COLUMNS6_TEXT, 6)
MONO_KEY_COLUMNS6 = columns(T.MONO_KEY_COLUMNS6_TEXT, 6)
ZONE_COLUMNS = columns(T.ZONE_COLUMNS_TEXT, 6)
RING_KEYS = columns(T.RING_KEYS_TEXT, 12)
RANDOM_KEY_ORDER = numbers(T.RANDOM_KEY_ORDER_TEXT)
TWINKLE_START = numbers(T.TWINKLE_START_TEXT)
REGION_GROUPS = numbers(T.ZONE_GROUP_REGION_TEXT)
MEMBRANE_GROUPS = REGION_GROUPS[:15] + [7, 6, 8, 4, 3, 5] + REGION_GROUPS[21:]

SNAKE = ([17, 18, 19, 20] + list(range(15, -1, -1)) + [21, 42, 63, 84] + list(range(105, 120))
         + list(range(41, 21, -1)) + [43, 64, 85] + list(range(86, 100)) + [78]
         + list(range(61, 43, -1)) + list(range(65, 78)) + [126, 126])
MONO_SNAKE = [122, 123, 124, 125] + SNAKE[4:]
RUN = (list(range(0, 16)) + [17, 18, 19, 20] + list(range(41, 20, -1)) + list(range(42, 62))
       + [119, 78, 77, 76, 75, 126] + list(range(74, 62, -1)) + [84, 126] + list(range(85, 100))
       + list(range(118, 104, -1)))
MONO_RUN = list(range(0, 16)) + [122, 123, 124, 125] + RUN[20:]
assert len(SNAKE) == 110 and len(RUN) == 110 and len(MONO_RUN) == 110

MOUSE_COLUMNS = [[0, 7, 19], [1, 8, 18], [2, 9, 9], [3, 10, 14], [4, 11, 15], [5, 12, 16],
                 [6, 13, 17]]
PAD_COLUMNS = [[0, 1, 2, 3, 4], [5], [6], [7], [8], [9], [14, 13, 12, 11, 10]]
MOUSE_COLOURS = ([(255, 255, 0), (200, 255, 0), (170, 255, 0), (140, 255, 0), (110, 255, 0),
                  (80, 255, 0), (70, 255, 0), (0, 0, 0)]
                 + [(0, 255, 255), (0, 200, 255), (0, 170, 255), (0, 140, 255), (0, 110, 255),
                    (0, 80, 255), (0, 70, 255), (0, 0, 0)]
                 + [(245, 0, 255), (245, 0, 200), (245, 0, 170), (245, 0, 140), (245, 0, 110),
                    (245, 0, 80), (245, 0, 70), (0, 0, 0)])

MONO_PREVIEW = (36, 0, 255)
NONE = 126

# ------------------------------------------------------------------ arithmetic


def sc(channel, factor):
    return (channel * factor) >> 8


def kb_scale(colour, bright, intensity=None):
    if intensity is None:
        return tuple(sc(c, bright) for c in colour)
    return tuple(sc(sc(c, intensity), bright) for c in colour)


def dev_scale(colour, bright, intensity=None):
    """Mouse, pad: factors + 1."""
    if intensity is None:
        return tuple(sc(c, bright + 1) for c in colour)
    return tuple(sc(sc(c, intensity + 1), bright + 1) for c in colour)


def phase_step(phase, forward, n):
    if forward:
        return 0 if phase + 1 >= n else phase + 1
    return n - 1 if phase == 0 else phase - 1


def decay_a(life):
    if life >= 128:
        return life - 20
    if life >= 64:
        return life - 10
    if life >= 32:
        return life - 8
    if life >= 17:
        return life - 5
    if life >= 9:
        return life - 4
    return 0


def decay_b(life):
    if life >= 128:
        return life - 40
    if life >= 64:
        return life - 30
    if life >= 32:
        return life - 10
    if life >= 17:
        return life - 8
    if life >= 9:
        return life
    return 0


def decay_c(life):
    if life >= 128:
        return life - 15
    if life >= 64:
        return life - 10
    if life >= 32:
        return life - 7
    if life >= 17:
        return life - 3
    if life >= 1:
        return life - 1
    return 0


def fade_level(level):
    if level >= 128:
        return level - 40
    if level >= 64:
        return level - 30
    if level >= 32:
        return level - 10
    if level >= 17:
        return level - 8
    return 0


# ------------------------------------------------------------------ output


class Step:
    """One step's frame and the picture positions it drew."""

    def __init__(self, size):
        self.frame = bytearray(size)
        self.drawn = {}  # position -> (alpha, (r, g, b))
        self.sent = True

    def led(self, position, colour):
        if 0 <= position < len(self.frame) // 3:
            self.frame[3 * position:3 * position + 3] = bytes(colour)

    def byte(self, position, value):
        if 0 <= position < len(self.frame):
            self.frame[position] = value

    def show(self, position, colour, alpha):
        self.drawn[position] = (alpha, colour)


# ------------------------------------------------------------------ keyboards


class Keyboard:
    def __init__(self):
        self.phase = 0
        self.hue = 0
        self.key_hue = [0] * 126
        self.key_life = [0] * 126
        self.key_phase = [0] * 126
        self.bitmaps = [[0] * 23 for _ in range(4)]
        self.run = 0
        self.pick = 0
        self.random_hue = 0
        # stacking blocks
        self.lit = [0] * 6
        self.zone_colour = [0] * 6
        self.head = 0
        self.fading = False
        self.fade = 0
        self.counter = 0
        self.restart = False

    def reset(self):
        self.phase = 0
        self.key_hue = [0] * 126
        self.key_life = [0] * 126
        self.bitmaps = [[0] * 23 for _ in range(4)]


def ripple_union(b, column):
    return b[0][column] | b[1][column] | b[2][column] | b[3][column]


def ripple_or(b, column, bits):
    for m in b:
        m[column] |= bits


def propagate(b):
    b0, b1, b2, b3 = b
    b3[0] >>= 1
    b0[0] = (b0[0] << 1) & 0xFF
    for i in range(22):
        b3[i] |= b3[i + 1]
        b3[i + 1] >>= 1
        b0[i] |= b0[i + 1]
        b0[i + 1] = (b0[i + 1] << 1) & 0xFF
    b2[22] = b2[21] | (b2[22] >> 1)
    b2[21] >>= 1
    b1[22] = (b1[21] | (b1[22] << 1)) & 0xFF
    b1[21] = (b1[21] << 1) & 0xFF
    for i in range(20, -1, -1):
        b2[i + 1] |= b2[i]
        b1[i + 1] |= b1[i]
        b2[i] >>= 1
        b1[i] = (b1[i] << 1) & 0xFF


def diagonal_init(kb, cols, none):
    for a, column in enumerate(cols):
        phase = (157 - 8 * a) % 256
        if phase > 191:
            phase = (94 - 8 * a) % 256
        for row, key in enumerate(column):
            if row > 0:
                previous = phase
                phase = (previous - 35) % 256
                if phase > 191:
                    phase = (previous - 98) % 256
            if key == none:
                continue
            kb.key_phase[key] = phase
            kb.key_hue[key] = (7 * a) & 0xFF


def keyboard_init(kb, kind, mode):
    kb.reset()
    if kind == "rgb":
        if mode == 5:
            ripple_or(kb.bitmaps, 9, 0x40)
        elif mode == 7:
            diagonal_init(kb, KEY_COLUMNS7, 255)
        elif mode == 12:
            kb.run = max(0, kb.run - 4)
    elif kind == "mono":
        if mode == 4:
            ripple_or(kb.bitmaps, 9, 0x40)
        elif mode == 6:
            diagonal_init(kb, MONO_KEY_COLUMNS6, NONE)
        elif mode == 8:
            for c, column in enumerate(KEY_COLUMNS6):
                for r, key in enumerate(column):
                    if key != NONE:
                        kb.key_phase[key] = TWINKLE_START[6 * c + r]
    elif mode == 4:
        kb.restart = True


def single(s):
    return (s["r"], s["g"], s["b"])


def hue_or_single(s, hue):
    return WHEEL[hue] if s["colourful"] else single(s)


class RgbPaint:
    def __init__(self, step, bright):
        self.step = step
        self.bright = bright

    def key(self, key, colour, intensity=None, shown=None):
        if intensity is None:
            alpha = self.bright
        else:
            alpha = sc(self.bright, intensity if shown is None else shown)
        self.step.show(key, colour, alpha)
        self.step.led(RGB_LED_MAP[key], kb_scale(colour, self.bright, intensity))


def run_light(kb, forward, order):
    """reading: counting down from position 110 (one past the path) takes no key."""
    if forward:
        if kb.run <= 109:
            key = order[kb.run]
            kb.run += 1
            return key
        kb.run = 0
        return NONE
    if kb.run > 0:
        key = order[kb.run] if kb.run < 110 else NONE
        kb.run -= 1
        return key
    kb.run = 110
    return NONE


def rain_drops(kb, order):
    """reading: the pick index advances before it is used and wraps after the last entry of
    RandomKeyOrder (103) for both keyboards."""
    for _ in range(3):
        kb.pick = 0 if kb.pick + 1 >= len(RANDOM_KEY_ORDER) else kb.pick + 1
        key = order[RANDOM_KEY_ORDER[kb.pick]]
        if key < 126:
            kb.key_hue[key] = (kb.hue + 10) & 0xFF
            kb.key_life[key] = 255


def rgb_step(kb, s, rnd, slot):
    st = Step(378)
    bright = BRIGHTNESS[min(s["bright"], 14)]
    p = RgbPaint(st, bright)
    fwd = s["dir"] != 0
    mode = s["mode"]
    if mode == 0:
        # reading: every key, through its LED map entry
        for k in range(126):
            p.key(k, single(s))
    elif mode == 1:
        kb.phase += 1
        if kb.phase >= 128:
            kb.phase = 0
            kb.random_hue = rnd()
        colour = WHEEL[kb.random_hue] if s["colourful"] else single(s)
        for k in range(126):
            p.key(k, colour, PULSE[kb.phase])
    elif mode == 2:
        if s["colourful"]:
            kb.phase = phase_step(kb.phase, fwd, 192)
            for c, column in enumerate(KEY_COLUMNS7):
                for key in column:
                    if key != 255:
                        p.key(key, WHEEL[(kb.phase + 7 * c) % 192])
        else:
            kb.phase = phase_step(kb.phase, fwd, 96)
            for c, column in enumerate(KEY_COLUMNS7):
                for key in column:
                    if key != 255:
                        p.key(key, single(s), BREATH[(kb.phase + 10 * c) % 96],
                              BREATH[(kb.phase + 10 * (c + 1)) % 96])
    elif mode == 3:
        kb.phase = phase_step(kb.phase, fwd, 192)
        for k in range(126):
            p.key(k, WHEEL[kb.phase])
    elif mode == 4:
        if s["colourful"]:
            kb.phase = phase_step(kb.phase, fwd, 192)
            for j, key in enumerate(SNAKE):
                if key != NONE:
                    p.key(key, WHEEL[(kb.phase + 5 * j) % 192])
        else:
            kb.phase = phase_step(kb.phase, fwd, 96)
            for j, key in enumerate(SNAKE):
                if key != NONE:
                    p.key(key, single(s), BREATH[(kb.phase + 5 * j) % 96])
    elif mode == 5:
        u = ripple_union(kb.bitmaps, 9)
        if u == 1:
            ripple_or(kb.bitmaps, 9, 1)
        elif u == 0x40:
            ripple_or(kb.bitmaps, 9, 0x40)
        for c, column in enumerate(KEY_COLUMNS7):
            bits = ripple_union(kb.bitmaps, c)
            for row, key in enumerate(column):
                if key != 255 and bits & (1 << row):
                    kb.key_life[key] = 255
                    if s["colourful"]:
                        kb.key_hue[key] = (kb.hue + 11) & 0xFF
        propagate(kb.bitmaps)
        lives(kb, s, p)
    elif mode == 7:
        for key in SNAKE:
            if key == NONE:
                continue
            kb.key_phase[key] += 1
            if kb.key_phase[key] >= 192:
                kb.key_phase[key] = 0
                kb.key_hue[key] = (kb.hue + 10) & 0xFF
            p.key(key, hue_or_single(s, kb.key_hue[key]), FADE[kb.key_phase[key]])
    elif mode == 8:
        rain_drops(kb, SNAKE)
        for k in range(126):
            kb.key_life[k] = decay_a(kb.key_life[k])
            p.key(k, hue_or_single(s, kb.key_hue[k]), kb.key_life[k])
    elif mode == 10:
        for k in range(126):
            p.key(k, (0, 0, 0))
    elif mode == 11:
        for k in range(126):
            pos = RGB_LED_MAP[k]
            colour = tuple(slot[3 * pos:3 * pos + 3]) if pos < 126 else (0, 0, 0)
            p.key(k, colour)
    elif mode == 13:
        if fwd:
            kb.phase += 4
            if kb.phase >= 192:  # reading: "wrap at 192" as at or past 192
                kb.phase = 0
        else:
            kb.phase = (kb.phase - 2) & 0xFF
            if kb.phase > 191:
                kb.phase = 192
        for ring, keys in enumerate(RING_KEYS):
            colour = WHEEL[(kb.phase + 21 * (ring + 1)) % 192]
            for key in keys:
                if key != NONE and key in SNAKE:
                    p.key(key, colour)
    elif mode == 14:
        if s["colourful"]:
            kb.phase = phase_step(kb.phase, fwd, 192)
            for c, column in enumerate(KEY_COLUMNS6):
                h = (kb.phase + 7 * c) % 192
                for key in column:
                    if key != NONE:
                        st.show(key, WHEEL[h], bright)
                        st.led(RGB_LED_MAP[key], kb_scale(WHEEL[h], bright, FADE[h]))
        else:
            kb.phase = phase_step(kb.phase, fwd, 96)
            for c, column in enumerate(KEY_COLUMNS6):
                for key in column:
                    if key != NONE:
                        p.key(key, single(s), FADE[(kb.phase + 10 * c) % 96],
                              FADE[(kb.phase + 10 * (c + 1)) % 96])
    else:  # 6, 12, 15 and any other: the running light
        key = run_light(kb, fwd, RUN)
        if key != NONE:
            kb.key_life[key] = 254
            kb.key_hue[key] = (kb.hue + 13) & 0xFF
        lives(kb, s, p)
    return st


def lives(kb, s, p):
    for key in SNAKE:
        if key == NONE:
            continue
        kb.key_life[key] = decay_a(kb.key_life[key])
        p.key(key, hue_or_single(s, kb.key_hue[key]), kb.key_life[key])


class MonoPaint:
    def __init__(self, step, bright):
        self.step = step
        self.bright = bright

    def level(self, key, value):
        self.step.show(key, MONO_PREVIEW, value)
        self.step.byte(MONO_LED_MAP[key], value)

    def key(self, key, intensity):
        self.level(key, sc(intensity, self.bright))

    def dark(self, key):
        self.step.show(key, (0, 0, 0), self.bright)
        self.step.byte(MONO_LED_MAP[key], 0)


def mono_step(kb, s, slot):
    st = Step(126)
    bright = BRIGHTNESS[min(s["bright"], 14)]
    p = MonoPaint(st, bright)
    fwd = s["dir"] != 0
    mode = s["mode"]
    if mode == 0:
        for k in range(126):
            p.level(k, bright)
    elif mode == 1:
        kb.phase += 1
        if kb.phase >= 128:
            kb.phase = 0
        for k in range(126):
            p.key(k, PULSE[kb.phase])
    elif mode == 2:
        kb.phase = phase_step(kb.phase, fwd, 96)
        for c, column in enumerate(KEY_COLUMNS6):
            for key in column:
                if key != NONE:
                    p.key(key, BREATH[(kb.phase + 7 * c) % 96])
    elif mode == 3:
        kb.phase = phase_step(kb.phase, fwd, 96)
        for j, key in enumerate(MONO_SNAKE):
            if key != NONE:
                p.key(key, BREATH[(kb.phase + 5 * j) % 96])
    elif mode == 4:
        for c, column in enumerate(KEY_COLUMNS6):
            bits = ripple_union(kb.bitmaps, c)
            for row, key in enumerate(column):
                if key != NONE:
                    kb.key_life[key] = 254 if bits & (1 << row) else 0
        propagate(kb.bitmaps)
        u = ripple_union(kb.bitmaps, 9)
        if u == 1:
            ripple_or(kb.bitmaps, 9, 3)
        elif u == 0x60:
            ripple_or(kb.bitmaps, 9, 0x60)
        for key in MONO_SNAKE:
            if key != NONE:
                kb.key_life[key] = decay_a(kb.key_life[key])
                p.key(key, kb.key_life[key])
    elif mode == 5:
        key = run_light(kb, fwd, MONO_RUN)
        if key != NONE:
            kb.key_life[key] = 254
        for key in MONO_SNAKE:
            if key != NONE:
                kb.key_life[key] = decay_b(kb.key_life[key])
                p.key(key, kb.key_life[key])
    elif mode in (6, 8, 11):
        for key in MONO_SNAKE:
            if key == NONE:
                continue
            # reading: a start phase of 192 also wraps to 0
            kb.key_phase[key] = 0 if kb.key_phase[key] + 1 >= 192 else kb.key_phase[key] + 1
            p.key(key, FADE[kb.key_phase[key]])
    elif mode == 7:
        # reading: the device shows each key's life, as the picture does
        rain_drops(kb, MONO_SNAKE)
        for k in range(126):
            kb.key_life[k] = decay_a(kb.key_life[k])
            p.key(k, kb.key_life[k])
    elif mode == 9:
        for k in range(126):
            p.dark(k)
    elif mode == 10:
        for k in range(126):
            pos = MONO_LED_MAP[k]
            stored = slot[pos] if pos < 126 else 0
            st.show(k, MONO_PREVIEW if stored == 255 else (0, 0, 0), bright)
            st.byte(pos, sc(stored, bright))
    else:
        st.sent = False
    return st


def zone_keys(z):
    return [column[z] for column in ZONE_COLUMNS if column[z] != NONE]


def zoned_step(kb, kind, s, rnd, slot):
    st = Step(36)
    groups = REGION_GROUPS if kind == "region" else MEMBRANE_GROUPS
    bright = BRIGHTNESS[min(s["bright"], 14)]
    fwd = s["dir"] != 0

    def zone(z, colour, intensity=None):
        alpha = bright if intensity is None else sc(bright, intensity)
        for key in zone_keys(z):
            st.show(key, colour, alpha)
        scaled = kb_scale(colour, bright, intensity)
        for g in (2 * z, 2 * z + 1):
            for i in range(3):
                st.byte(groups[3 * g + i], scaled[i])

    mode = s["mode"]
    if mode == 0:
        for z in range(6):
            zone(z, single(s))
    elif mode == 1:
        kb.phase += 1
        if kb.phase >= 128:
            kb.phase = 0
            kb.random_hue = rnd()
        colour = WHEEL[kb.random_hue] if s["colourful"] else single(s)
        for z in range(6):
            zone(z, colour, PULSE[kb.phase])
    elif mode == 2:
        if s["colourful"]:
            kb.phase = phase_step(kb.phase, fwd, 192)
            for z in range(6):
                zone(z, WHEEL[(kb.phase + 7 * z) % 192])
        else:
            kb.phase = phase_step(kb.phase, fwd, 96)
            for z in range(6):
                zone(z, single(s), BREATH[(kb.phase + 7 * (z + 1)) % 96])
    elif mode == 3:
        kb.phase = phase_step(kb.phase, fwd, 192)
        for z in range(6):
            zone(z, WHEEL[kb.phase])
    elif mode == 4:
        blocks(kb, fwd, zone)
    elif mode == 5:
        for z in range(6):
            zone(z, (0, 0, 0))
    elif mode == 6:
        for z in range(6):
            keys = zone_keys(z)
            last = keys[-1]
            zone(z, tuple(slot[3 * last:3 * last + 3]))
            for key in keys:
                st.show(key, tuple(slot[3 * key:3 * key + 3]), bright)
    else:
        st.sent = False
    return st


def blocks_restart(kb, fwd):
    for z in range(5, -1, -1):
        kb.lit[z] = 0
        kb.counter += 11
        if kb.counter >= 192:
            kb.counter += 64
        kb.counter &= 0xFF
        kb.zone_colour[z] = kb.counter
    kb.fade = 255
    kb.fading = False
    if fwd:
        kb.lit[5] = 1
        kb.head = 0
    else:
        kb.lit[0] = 1
        kb.head = 5


def blocks(kb, fwd, zone):
    if kb.restart:
        for z in range(6):
            zone(z, (0, 0, 0))
        kb.restart = False
        blocks_restart(kb, fwd)
        return
    if kb.fade == 0:
        blocks_restart(kb, fwd)
    if not kb.fading:
        for z in range(6):
            zone(z, WHEEL[kb.zone_colour[z]] if kb.lit[z] else (0, 0, 0))
        # reading: a block moves on by handing its flag to the next zone, which leaves
        # its own zone dark
        if fwd:
            if kb.lit[kb.head]:
                kb.lit[5] = 1
                kb.head += 1
                if kb.head > 5:
                    kb.fading = True
            else:
                for i in range(kb.head, 5):
                    kb.lit[i] = kb.lit[i + 1]
                kb.lit[5] = 0
        else:
            if kb.lit[kb.head]:
                kb.lit[0] = 1
                kb.head -= 1
                if kb.head < 0:
                    kb.fading = True
            else:
                for i in range(kb.head, 0, -1):
                    kb.lit[i] = kb.lit[i - 1]
                kb.lit[0] = 0
        return
    kb.fade = fade_level(kb.fade)
    for z in range(6):
        zone(z, WHEEL[kb.zone_colour[z]], kb.fade)


# ------------------------------------------------------------------ mouse and pad


class Device:
    def __init__(self):
        self.phase = 0
        self.hue = 0
        self.group = 0
        self.life = [0] * 15
        self.lhue = [0] * 15
        self.ring = [0] * 23
        self.blink = 0
        self.blink_lit = False
        self.bar = 0
        self.bar_up = True


class DevicePaint:
    def __init__(self, step, bright):
        self.step = step
        self.bright = bright

    def led(self, i, colour, intensity=None, shown=None):
        if intensity is None:
            alpha = self.bright
        else:
            alpha = sc(self.bright, intensity if shown is None else shown)
        self.step.show(i, colour, alpha)
        self.step.led(i, dev_scale(colour, self.bright, intensity))

    def off(self, i):
        self.step.show(i, (0, 0, 0), 0)
        self.step.led(i, (0, 0, 0))


def pulse_ring(dev, lanes, slots, s, decay):
    for slot in range(min(slots, lanes)):
        if dev.ring[slot]:
            dev.life[slot] = 255
            if s["colourful"]:
                dev.lhue[slot] = (dev.hue + 11) & 0xFF
    if s["dir"] != 0:
        dev.ring = dev.ring[1:] + dev.ring[:1]
    else:
        dev.ring = dev.ring[-1:] + dev.ring[:-1]
    for i in range(lanes):
        dev.life[i] = decay(dev.life[i])


def mouse_column(c):
    seen = []
    for led in MOUSE_COLUMNS[c]:
        if led not in seen:
            seen.append(led)
    return seen


def mouse_step(dev, s):
    st = Step(60)
    bright = BRIGHTNESS[min(s["bright"], 14)]
    p = DevicePaint(st, bright)
    fwd = s["dir"] != 0
    mode = s["mode"]
    if mode == 0:
        for i in range(20):
            p.led(i, single(s))
    elif mode == 1:
        dev.phase = phase_step(dev.phase, fwd, 128)
        if dev.phase == 0:
            dev.group = (dev.group + 1) % 3
        for c in range(7):
            colour = MOUSE_COLOURS[8 * dev.group + c] if s["colourful"] else single(s)
            for led in mouse_column(c):
                p.led(led, colour, PULSE[dev.phase])
    elif mode == 2:
        if s["colourful"]:
            dev.phase = phase_step(dev.phase, fwd, 192)
            for c in range(7):
                for led in mouse_column(c):
                    p.led(led, WHEEL[(dev.phase + 7 * c) % 192])
        else:
            dev.phase = phase_step(dev.phase, fwd, 96)
            for c in range(7):
                for led in mouse_column(c):
                    p.led(led, single(s), BREATH[(dev.phase + 10 * c) % 96],
                          BREATH[(dev.phase + 10 * (c + 1)) % 96])
    elif mode == 3:
        dev.phase = phase_step(dev.phase, fwd, 192)
        for i in range(20):
            p.led(i, WHEEL[dev.phase])
    elif mode == 4:
        dev.phase = phase_step(dev.phase, fwd, 192)
        # reading: of the trigger slots 0..13 only 0..6 name a column
        pulse_ring(dev, 7, 14, s, decay_c)
        for c in range(7):
            colour = hue_or_single(s, dev.lhue[c])
            for led in mouse_column(c):
                p.led(led, colour, dev.life[c])
    elif mode == 5:
        # no trigger in these cases: dark
        for i in range(15):
            p.off(i)
    elif mode in (6, 7):
        st = Step(30)
        p = DevicePaint(st, bright)
        dev.blink = 0 if dev.blink >= 125 else dev.blink + 1
        dev.blink_lit = not dev.blink_lit  # reading: the first step lights
        colour = MOUSE_COLOURS[dev.blink] if s["colourful"] else single(s)
        for i in range(10):
            p.led(i, colour if dev.blink_lit else (0, 0, 0))
    else:
        st.sent = False
    return st


def pad_step(dev, s):
    st = Step(45)
    bright = BRIGHTNESS[min(s["bright"], 14)]
    p = DevicePaint(st, bright)
    fwd = s["dir"] != 0
    mode = s["mode"]
    if mode == 0:
        if s["colourful"]:
            dev.phase = phase_step(dev.phase, fwd, 192)
            for k in range(15):
                p.led(k, WHEEL[(dev.phase + 7 * k) % 192])
        else:
            dev.phase = phase_step(dev.phase, fwd, 96)
            for k in range(15):
                p.led(k, single(s), BREATH[(dev.phase + 10 * k) % 96])
    elif mode == 1:
        dev.phase = phase_step(dev.phase, fwd, 192)
        for k in range(15):
            p.led(k, WHEEL[dev.phase])
    elif mode == 2:
        st = Step(60)
        p = DevicePaint(st, bright)
        dev.phase = phase_step(dev.phase, fwd, 128)
        colour = WHEEL[(dev.phase + 50) % 192] if s["colourful"] else single(s)
        for k in range(15):
            p.led(k, colour, PULSE[dev.phase])
        if dev.phase == 0:
            dev.group = (dev.group + 1) % 3
    elif mode == 3:
        st = Step(60)
        p = DevicePaint(st, bright)
        for k in range(15):
            p.led(k, single(s))
    elif mode == 4:
        # reading: the count is drawn, then moves: 0, 1 … 15, 14 … 1, 0, 1 …
        for i in range(15):
            lit = dev.bar < i if fwd else i < dev.bar
            p.led(i, hue_or_single(s, (7 * i) % 192) if lit else (0, 0, 0))
        if dev.bar_up:
            dev.bar += 1
            if dev.bar >= 15:
                dev.bar = 15
                dev.bar_up = False
        else:
            dev.bar -= 1
            if dev.bar <= 0:
                dev.bar = 0
                dev.bar_up = True
    elif mode == 5:
        pulse_ring(dev, 15, 15, s, decay_b)  # the fast variant of decay C
        for k in range(15):
            p.led(k, hue_or_single(s, dev.lhue[k]), dev.life[k])
    elif mode == 6:
        dev.phase = phase_step(dev.phase, fwd, 192)
        for c, leds in enumerate(PAD_COLUMNS):
            for led in leds:
                p.led(led, WHEEL[(dev.phase + 7 * c) % 192])
    elif mode == 8:
        st = Step(60)
        p = DevicePaint(st, bright)
        for k in range(15):
            p.off(k)
    else:
        st.sent = False
    return st


# ------------------------------------------------------------------ runs and digests

KEYBOARDS = {"rgb-keyboard": "rgb", "mono-keyboard": "mono", "region-keyboard": "region",
             "membrane-keyboard": "membrane"}
POSITIONS = {"rgb": 126, "mono": 126, "region": 126, "membrane": 126, "mouse": 20, "mousepad": 15}


def custom_store():
    """The custom colour store of the cases: byte i = (37 i + 11) mod 256."""
    return bytes((37 * i + 11) & 0xFF for i in range(1890))


def run(model, settings, steps, random_bytes, slot, init):
    keys = ["mode", "bright", "speed", "dir", "colourful", "r", "g", "b"]
    s = dict(zip(keys, settings))
    rand_state = {"i": 0}

    def rnd():
        if not random_bytes:
            return 0
        b = random_bytes[rand_state["i"] % len(random_bytes)]
        rand_state["i"] += 1
        return b

    store = custom_store()
    chosen = store[378 * slot:378 * (slot + 1)]
    kind = KEYBOARDS.get(model, "mousepad" if model == "mousepad" else "mouse")
    picture = [(0, (0, 0, 0))] * POSITIONS[kind]
    if kind in ("rgb", "mono", "region", "membrane"):
        state = Keyboard()
        if init:
            keyboard_init(state, "zoned" if kind in ("region", "membrane") else kind, s["mode"])
    else:
        state = Device()
        if init:
            if kind == "mouse" and s["mode"] == 4:
                state.ring[7 if s["dir"] != 0 else 0] = 1
            if kind == "mousepad" and s["mode"] == 5:
                state.ring[0] = 1
    out = []
    for _ in range(steps):
        if kind == "rgb":
            st = rgb_step(state, s, rnd, chosen)
        elif kind == "mono":
            st = mono_step(state, s, chosen)
        elif kind in ("region", "membrane"):
            st = zoned_step(state, kind, s, rnd, chosen)
        elif kind == "mouse":
            st = mouse_step(state, s)
        else:
            st = pad_step(state, s)
        state.hue = (state.hue + 1) & 0xFF
        for position, shown in st.drawn.items():
            picture[position] = shown
        frame = bytes(st.frame) if st.sent else b""
        preview = bytes(b for alpha, colour in picture for b in (alpha,) + tuple(colour))
        out.append((frame, preview))
    return out


def fnv(data, h=0xCBF29CE484222325):
    for b in data:
        h ^= b
        h = (h * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def digest(steps):
    h = 0xCBF29CE484222325
    for frame, preview in steps:
        h = fnv(bytes([len(frame) & 0xFF, len(frame) >> 8]) + frame + preview, h)
    return h


# name, model, settings, steps, random bytes, custom slot, initialise
CASES = [
    ("RgbStatic", "rgb-keyboard", (0, 9, 3, 1, 0, 200, 100, 50), 3, [], 0, True),
    ("RgbPulseRandom", "rgb-keyboard", (1, 14, 0, 0, 1, 0, 0, 0), 400, [200, 17, 250, 99], 0, True),
    ("RgbPulseSingle", "rgb-keyboard", (1, 6, 0, 1, 0, 10, 220, 30), 200, [], 0, True),
    ("RgbWaveColourful", "rgb-keyboard", (2, 14, 5, 1, 1, 0, 0, 0), 250, [], 0, True),
    ("RgbWaveSingleBackward", "rgb-keyboard", (2, 11, 5, 0, 0, 255, 40, 9), 250, [], 0, True),
    ("RgbCycleBackward", "rgb-keyboard", (3, 13, 0, 0, 0, 0, 0, 0), 200, [], 0, True),
    ("RgbSerpentineColourful", "rgb-keyboard", (4, 14, 0, 1, 1, 0, 0, 0), 200, [], 0, True),
    ("RgbSerpentineSingle", "rgb-keyboard", (4, 8, 0, 0, 0, 90, 180, 255), 200, [], 0, True),
    ("RgbRipple", "rgb-keyboard", (5, 14, 0, 1, 1, 0, 0, 0), 300, [], 0, True),
    ("RgbRippleSingle", "rgb-keyboard", (5, 12, 0, 1, 0, 255, 255, 255), 120, [], 0, True),
    ("RgbRunningForward", "rgb-keyboard", (6, 14, 0, 1, 1, 0, 0, 0), 300, [], 0, True),
    ("RgbRunningBackward", "rgb-keyboard", (15, 10, 0, 0, 0, 30, 60, 90), 300, [], 0, True),
    ("RgbRunning12", "rgb-keyboard", (12, 14, 0, 1, 0, 1, 2, 3), 130, [], 0, True),
    ("RgbDiagonalTwinkle", "rgb-keyboard", (7, 14, 0, 1, 1, 0, 0, 0), 400, [], 0, True),
    ("RgbRain", "rgb-keyboard", (8, 14, 0, 1, 1, 0, 0, 0), 300, [], 0, True),
    ("RgbOff", "rgb-keyboard", (10, 7, 0, 1, 0, 9, 9, 9), 2, [], 0, True),
    ("RgbCustom", "rgb-keyboard", (11, 12, 0, 1, 0, 0, 0, 0), 2, [], 3, True),
    ("RgbBandsForward", "rgb-keyboard", (13, 14, 0, 1, 0, 0, 0, 0), 120, [], 0, True),
    ("RgbBandsBackward", "rgb-keyboard", (13, 14, 0, 0, 1, 0, 0, 0), 250, [], 0, True),
    ("RgbFadeWaveColourful", "rgb-keyboard", (14, 14, 0, 1, 1, 0, 0, 0), 250, [], 0, True),
    ("RgbFadeWaveSingle", "rgb-keyboard", (14, 9, 0, 0, 0, 200, 0, 100), 250, [], 0, True),
    ("MonoStatic", "mono-keyboard", (0, 5, 0, 1, 0, 0, 0, 0), 2, [], 0, True),
    ("MonoPulse", "mono-keyboard", (1, 14, 0, 1, 0, 0, 0, 0), 200, [], 0, True),
    ("MonoColumnBreath", "mono-keyboard", (2, 12, 0, 0, 0, 0, 0, 0), 200, [], 0, True),
    ("MonoSerpentine", "mono-keyboard", (3, 14, 0, 1, 0, 0, 0, 0), 200, [], 0, True),
    ("MonoRipple", "mono-keyboard", (4, 14, 0, 1, 0, 0, 0, 0), 300, [], 0, True),
    ("MonoRunning", "mono-keyboard", (5, 11, 0, 1, 0, 0, 0, 0), 300, [], 0, True),
    ("MonoRunningBackward", "mono-keyboard", (5, 14, 0, 0, 0, 0, 0, 0), 300, [], 0, True),
    ("MonoDiagonalTwinkle", "mono-keyboard", (6, 14, 0, 1, 0, 0, 0, 0), 300, [], 0, True),
    ("MonoRain", "mono-keyboard", (7, 13, 0, 1, 0, 0, 0, 0), 300, [], 0, True),
    ("MonoColumnTwinkle", "mono-keyboard", (8, 14, 0, 1, 0, 0, 0, 0), 300, [], 0, True),
    ("MonoOff", "mono-keyboard", (9, 14, 0, 1, 0, 0, 0, 0), 2, [], 0, True),
    ("MonoCustom", "mono-keyboard", (10, 14, 0, 1, 0, 0, 0, 0), 2, [], 1, True),
    ("MonoCustomDim", "mono-keyboard", (10, 4, 0, 1, 0, 0, 0, 0), 2, [], 4, True),
    ("MonoTwinkleWithoutInit", "mono-keyboard", (11, 14, 0, 1, 0, 0, 0, 0), 250, [], 0, True),
    ("RegionStatic", "region-keyboard", (0, 10, 0, 1, 0, 250, 128, 3), 2, [], 0, True),
    ("RegionPulse", "region-keyboard", (1, 14, 0, 1, 1, 0, 0, 0), 300, [7, 190], 0, True),
    ("RegionWaveColourful", "region-keyboard", (2, 14, 0, 1, 1, 0, 0, 0), 200, [], 0, True),
    ("MembraneWaveSingle", "membrane-keyboard", (2, 12, 0, 0, 0, 20, 200, 120), 200, [], 0, True),
    ("MembraneCycle", "membrane-keyboard", (3, 14, 0, 1, 0, 0, 0, 0), 200, [], 0, True),
    ("RegionBlocksForward", "region-keyboard", (4, 14, 0, 1, 1, 0, 0, 0), 200, [], 0, True),
    ("MembraneBlocksBackward", "membrane-keyboard", (4, 9, 0, 0, 1, 0, 0, 0), 200, [], 0, True),
    ("RegionBlocksWithoutInit", "region-keyboard", (4, 14, 0, 1, 1, 0, 0, 0), 60, [], 0, False),
    ("RegionOff", "region-keyboard", (5, 14, 0, 1, 0, 0, 0, 0), 2, [], 0, True),
    ("RegionCustom", "region-keyboard", (6, 14, 0, 1, 0, 0, 0, 0), 2, [], 2, True),
    ("MembraneCustom", "membrane-keyboard", (6, 8, 0, 1, 0, 0, 0, 0), 2, [], 0, True),
    ("MouseStatic", "mouse", (0, 2, 0, 1, 0, 255, 100, 3), 2, [], 0, True),
    ("MouseGroupPulseForward", "mouse", (1, 14, 0, 1, 1, 0, 0, 0), 400, [], 0, True),
    ("MouseGroupPulseBackward", "mouse", (1, 12, 0, 0, 1, 0, 0, 0), 400, [], 0, True),
    ("MousePulseSingle", "mouse", (1, 14, 0, 1, 0, 9, 99, 199), 150, [], 0, True),
    ("MouseWaveColourful", "mouse", (2, 14, 0, 1, 1, 0, 0, 0), 200, [], 0, True),
    ("MouseWaveSingle", "mouse", (2, 10, 0, 0, 0, 255, 0, 128), 200, [], 0, True),
    ("MouseCycle", "mouse", (3, 14, 0, 0, 0, 0, 0, 0), 200, [], 0, True),
    ("MouseTravellingForward", "mouse", (4, 14, 0, 1, 1, 0, 0, 0), 200, [], 0, True),
    ("MouseTravellingBackward", "mouse", (4, 11, 0, 0, 0, 255, 255, 255), 200, [], 0, True),
    ("MouseFlashUntriggered", "mouse", (5, 14, 0, 1, 1, 0, 0, 0), 3, [], 0, True),
    ("MouseBlink", "mouse", (6, 14, 0, 1, 1, 0, 0, 0), 20, [], 0, True),
    ("MouseBlinkSingle", "mouse", (7, 9, 0, 1, 0, 40, 50, 60), 20, [], 0, True),
    ("MouseDeviceEffect", "mouse", (8, 14, 0, 1, 0, 0, 0, 0), 2, [], 0, True),
    ("PadWaveColourful", "mousepad", (0, 14, 0, 1, 1, 0, 0, 0), 200, [], 0, True),
    ("PadWaveSingle", "mousepad", (0, 13, 0, 0, 0, 100, 200, 50), 200, [], 0, True),
    ("PadCycle", "mousepad", (1, 14, 0, 0, 0, 0, 0, 0), 200, [], 0, True),
    ("PadPulse", "mousepad", (2, 14, 0, 1, 1, 0, 0, 0), 300, [], 0, True),
    ("PadPulseSingleBackward", "mousepad", (2, 10, 0, 0, 0, 255, 128, 0), 150, [], 0, True),
    ("PadStatic", "mousepad", (3, 7, 0, 1, 0, 1, 128, 255), 2, [], 0, True),
    ("PadBarForward", "mousepad", (4, 14, 0, 1, 1, 0, 0, 0), 70, [], 0, True),
    ("PadBarBackward", "mousepad", (4, 14, 0, 0, 0, 0, 200, 0), 70, [], 0, True),
    ("PadTravelling", "mousepad", (5, 14, 0, 0, 1, 0, 0, 0), 100, [], 0, True),
    ("PadTravellingForward", "mousepad", (5, 12, 0, 1, 0, 0, 255, 0), 100, [], 0, True),
    ("PadColumnWave", "mousepad", (6, 14, 0, 1, 0, 0, 0, 0), 200, [], 0, True),
    ("PadFlashUntriggered", "mousepad", (8, 14, 0, 1, 0, 0, 0, 0), 3, [], 0, True),
]


def table():
    rows = []
    for name, model, settings, steps, rnd, slot, init in CASES:
        d = digest(run(model, settings, steps, rnd, slot, init))
        rows.append((name, d))
    return rows


def main():
    rows = table()
    if "--check" in sys.argv:
        here = os.path.dirname(os.path.abspath(__file__))
        text = open(os.path.join(here, "..", "golden_effect_test.cpp"), encoding="utf-8").read()
        bad = 0
        for name, d in rows:
            m = re.search(r'"%s",[^\n]*?0x([0-9a-fA-F]+)ull' % name, text)
            if not m or int(m.group(1), 16) != d:
                print("differs: %s 0x%016x" % (name, d))
                bad += 1
        print("%d cases, %d differ" % (len(rows), bad))
        return 1 if bad else 0
    for name, d in rows:
        print('%-28s 0x%016x' % (name, d))
    return 0


if __name__ == "__main__":
    sys.exit(main())
