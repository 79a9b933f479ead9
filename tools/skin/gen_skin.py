#!/usr/bin/env python3
"""Writes the skin: the Qt Designer files of every window and page, and the two menus.

The layouts below are the readable source of the skin; the files in skin/ are generated
from them and committed. Run from the repository root after a change:

    python3 tools/skin/gen_skin.py            # .ui and menu files
    python3 tools/skin/make_images.py         # images (only when they change)

Window 800 x 572: caption bar (40), device tab strip (36), then one panel per device
class of 800 x 496 made of a sidebar (180: option tabs and the profile lists) and the
pages (620 x 496) of that class.
"""

import os
import re
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from make_images import MOUSE_BODY, MOUSE_PARTS  # noqa: E402
from uiwriter import Stretch, W, write_ui  # noqa: E402

PAGE_W, PAGE_H = 620, 496

# Preset swatch colours of the lighting and DPI pages, in swatch order.
SWATCHES = [
    0xFFFF0000, 0xFF00F6FF, 0xFF6CFF00, 0xFF7E00FF, 0xFF008AFF, 0xFF2400FF, 0xFFADFE00,
    0xFFFE5400, 0xFFFE8300, 0xFF8300E7, 0xFFB700AC, 0xFFFEB300, 0xFFFEF500,
]
PALETTE_START = 0xFF0199CB

RGB_MODES = [
    "Deng_mode_static", "Deng_mode_pulse", "Deng_mode_wave", "Deng_mode_cycle",
    "Deng_mode_flow", "Deng_mode_ripple", "Deng_mode_running", "Deng_mode_twinkle",
    "Deng_mode_rain", "Deng_mode_palette_twinkle", "Deng_mode_off", "Deng_mode_custom",
    "Deng_mode_running_2", "Deng_mode_bands", "Deng_mode_wave_fade", "Deng_mode_running_3",
]
MONO_MODES = [
    "Deng_mode_static", "Deng_mode_pulse", "Deng_mode_breath_wave", "Deng_mode_breath_flow",
    "Deng_mode_ripple", "Deng_mode_running", "Deng_mode_twinkle", "Deng_mode_rain",
    "Deng_mode_column_twinkle", "Deng_mode_off", "Deng_mode_custom", "Deng_mode_twinkle_2",
]
ZONE_MODES = [
    "Deng_mode_static", "Deng_mode_pulse", "Deng_mode_wave", "Deng_mode_cycle",
    "Deng_mode_blocks", "Deng_mode_off", "Deng_mode_custom",
]
MOUSE_MODES = [
    "Deng_mode_static", "Deng_mode_pulse", "Deng_mode_wave", "Deng_mode_cycle",
    "Deng_mode_reactive", "Deng_mode_flash", "Deng_mode_blink", "Deng_mode_blink_2",
    "Deng_mode_device", "Deng_mode_off",
]
PAD_MODES = [
    "Deng_mode_wave", "Deng_mode_cycle", "Deng_mode_pulse", "Deng_mode_static",
    "Deng_mode_bar", "Deng_mode_reactive", "Deng_mode_column_wave", "Deng_mode_scanner",
    "Deng_mode_flash",
]

BUTTON_CHOICES = ["mouse_key_left", "mouse_key_middle", "mouse_key_right", "mouse_key_forward", "mouse_key_back"]
DPI_CHOICES = ["mouse_key_DPI_add", "mouse_key_DPI_sub", "mouse_key_DPI_loop"]
CONSUMER_CHOICES = [
    "media_text", "media_play", "media_stop", "media_prev", "media_next", "media_vol_sub",
    "media_vol_add", "media_mute", "web_text", "web_refresh", "wed_stop", "wed_back",
    "wed_forward", "wed_favorite", "web_search", "media_mypc", "media_calc", "media_mail",
]
SYSTEM_CHOICES = ["system_power", "system_sleep", "system_wake_up"]
MACRO_RUN_MODES = ["macro_run_mode_0", "macro_run_mode_1", "macro_run_mode_2", "macro_run_mode_3", "macro_run_repeat"]
GUNS = ["GUN_1", "GUN_2", "GUN_3", "GUN_4"]
MOUSE_EVENTS = [
    "macro_mouse_left_down", "macro_mouse_left_up", "macro_mouse_right_down", "macro_mouse_right_up",
    "macro_mouse_middle_down", "macro_mouse_middle_up", "macro_mouse_forward_down", "macro_mouse_forward_up",
    "macro_mouse_back_down", "macro_mouse_back_up", "mouse_move_to_left_text", "mouse_move_to_right_text",
    "mouse_move_to_up_text", "mouse_move_to_down_text",
]
REPORT_RATES = ["report_rate_125", "report_rate_250", "report_rate_500", "report_rate_1000"]
# The update window's language list: simplified Chinese, traditional Chinese, English, then
# the other languages in table order.
LANGUAGE_LIST = ["lan_cn", "lan_tw", "lan_en", "lan_jp", "lan_de", "lan_ru", "lan_fr", "lan_th", "lan_pb", "lan_sp"]

# Key function classes in the order of the class combo of each key editor.
MOUSE_CLASSES = ["default", "button", "hscroll", "vscroll", "dpi", "fire", "keyboard", "consumer", "system", "macro", "gun"]
KEYBOARD_CLASSES = ["default", "keyboard", "button", "hscroll", "vscroll", "dpi", "fire", "consumer", "system", "macro"]


# ---------------------------------------------------------------- small constructors


def label(name, geo=None, text="", **kw):
    return W("QLabel", name, geo, text=text, **kw)


def button(name, geo=None, text="", **kw):
    return W("QPushButton", name, geo, text=text, **kw)


def tool(name, geo=None, text="", tip=None, **kw):
    if tip:
        kw["toolTip"] = tip
    return W("QToolButton", name, geo, text=text, **kw)


def check(name, geo=None, text="", **kw):
    return W("QCheckBox", name, geo, text=text, **kw)


def option(name, geo=None, text="", group=None, **kw):
    if group:
        kw["group"] = group
    return W("OptionButton", name, geo, text=text, checkable=True, **kw)


def combo(name, geo=None, items=(), **kw):
    return W("QComboBox", name, geo, items=list(items), **kw)


def edit(name, geo=None, text="", **kw):
    return W("QLineEdit", name, geo, text=text, **kw)


def number_edit(name, geo, text, limit):
    # Limits are applied by the editors (they correct the text); the length only keeps
    # the box from taking more digits than any valid value has.
    return edit(name, geo, text, maxLength=len(str(limit)) + 1)


def slider(name, geo, lo, hi, value=0, **kw):
    return W("QSlider", name, geo, minimum=lo, maximum=hi, value=value, orientation="Horizontal", **kw)


def box(name, geo, children=(), **kw):
    return W("QWidget", name, geo, children, **kw)


def row(name, children, geo=None, margin=0, **kw):
    return W("QWidget", name, geo, children, layout="h", margin=margin, **kw)


def column(name, children, geo=None, margin=0, **kw):
    return W("QWidget", name, geo, children, layout="v", margin=margin, **kw)


def stack(name, geo, pages, current=0):
    return W("QStackedWidget", name, geo, pages, currentIndex=current)


def swatch(name, geo, argb):
    return W(
        "QToolButton",
        name,
        geo,
        bkcolor=argb,
        styleSheet="background-color: #%06X; border: 1px solid #8A93A6; border-radius: 3px;" % (argb & 0xFFFFFF),
    )


def colour_display(name):
    return W("QToolButton", name, (4, 3, 32, 24), bkcolor=PALETTE_START,
             styleSheet="background-color: #0199CB; border: 1px solid #8A93A6; border-radius: 3px;")


def palette(name, geo):
    return W("ColourPalette", name, geo, colour=PALETTE_START)


def picture(name, geo, prefix, count, kind, **kw):
    return W("DevicePicture", name, geo, keyPrefix=prefix, keyCount=count, picture=kind, **kw)


def page(name, children):
    return box(name, (0, 0, PAGE_W, PAGE_H), children)


# ---------------------------------------------------------------- shared page parts


def swatches(prefix, per_row=7):
    cells = []
    for n, argb in enumerate(SWATCHES):
        cx = (n % per_row) * 42
        cy = (n // per_row) * 30
        cells.append(swatch("%s%d" % (prefix, n), (cx, cy, 36, 24), argb))
    return cells


def rgb_edits(name, geo, prefix):
    """Three channel edits R, G, B with their letters."""
    cells = []
    for i, ch in enumerate("RGB"):
        cells.append(label("%s_%s_label" % (name, ch), (i * 84, 3, 16, 24), ch))
        cells.append(number_edit("%s%s" % (prefix, ch), (18 + i * 84, 3, 58, 24), "0", 255))
    return box(name, geo, cells)


def labelled_slider(layout, lab, text, slider_name, lo, hi, geo, value=0):
    x, y, w, h = geo
    return box(layout, geo, [label(lab, (0, 0, 84, h), text), slider(slider_name, (88, (h - 20) // 2, w - 92, 20), lo, hi, value)])


def lighting_common(d, left, y_left, same_mode_y, right, y_right, fx_extra=()):
    """The controls every lighting page has: brightness and speed sliders, direction,
    colourful, same mode (left column, rows from y_left), swatches and the colour display
    with its edits (right column, from y_right). d is the page's prefix ("kb", "ms",
    "mp"); the "_Deng_" names carry the same prefix."""
    lx, lw = left
    rx, rw = right
    y = y_left
    fx = [
        check(d + "_Deng_FXL_check", (0, 3, 130, 24), "Deng_FXL_text", checked=True),
        check(d + "_Deng_FXR_check", (134, 3, 130, 24), "Deng_FXR_text"),
    ] + list(fx_extra)
    return [
        labelled_slider(d + "_deng_light_layout", d + "_deng_light_label", "Deng_light_text", d + "_deng_light_slider", 0, 14, (lx, y, lw, 30)),
        labelled_slider(d + "_deng_speed_layout", d + "_deng_speed_label", "Deng_speed_text", d + "_deng_speed_slider", 0, 14, (lx, y + 34, lw, 30), 7),
        box(d + "_deng_fx_layout", (lx, y + 68, lw, 30), fx),
        box(d + "_deng_7colorselect_layout", (lx, y + 102, lw, 30), [check(d + "_Deng_7color_check", (0, 3, lw, 24), "Deng_7color_text")]),
        button(d + "_deng_same_mode", (lx, same_mode_y, lw, 26), "Deng_same_mode_text"),
        box(d + "_deng_color_layout", (rx, y_right, rw, 56), swatches(d + "_Deng_color_btn_")),
        box(d + "_deng_color_display_layout", (rx, y_right + 60, 40, 30), [colour_display(d + "_Deng_colordp_btn")]),
        rgb_edits(d + "_deng_rgb_edits", (rx + 48, y_right + 60, rw - 48, 30), d + "_Deng_edit_"),
    ]


def profile_group(d, lst, title):
    """One profile list: combo, operation buttons, rename panel and link controls."""
    p = "%s_%s_profile" % (d, lst)
    pro = "%s_pro_%s_" % (d, lst)
    ops = [
        ("add", "+", "profile_add_tip"),
        ("sub", "\u2212", "profile_delete_tip"),
        ("copy", "\u21c9", "profile_copy_tip"),
        ("import", "\u21e9", "profile_import_tip"),
        ("export", "\u21e7", "profile_export_tip"),
        ("reset", "\u21ba", "profile_reset_tip"),
        ("edit", "\u270e", "profile_rename_tip"),
    ]
    return column(p + "_group", [
        label(p + "_title", None, title),
        combo(p + "_combo", minimumSize=(0, 26)),
        row(pro + "buttons", [tool(pro + op + "_btn", None, glyph, tip, minimumSize=(20, 24)) for op, glyph, tip in ops]),
        row(p + "_edit", [
            edit(p + "_name_edit", None, "", maxLength=259),
            tool(p + "_edit_save_btn", None, "\u2713", "profile_rename_save_tip"),
        ], visible=False),
        row(p + "_link_row", [
            check(p + "_link_check", None, "profile_link_text"),
            Stretch(),
            tool(p + "_link_btn", None, "\u2026", "profile_link_tip"),
        ]),
        row(p + "_link_name_hor", [edit(p + "_link_edit", None, " ", readOnly=True)], visible=False),
    ])


def device_panel(d, name, tabs, lists):
    """Sidebar with the option tabs and the profile lists, and the stack of pages."""
    tab_buttons = []
    pages = []
    for i, (tab, text, tag, page_name) in enumerate(tabs):
        tab_buttons.append(option(tab, None, text, d + "_op", tabLayout=d + "_option_layout", tabPage=page_name,
                                  checked=(i == 0), minimumSize=(0, 32)))
        pages.append(W(tag, page_name))
    groups = [profile_group(d, lst, title) for lst, title in lists]
    sidebar = column(d + "_sidebar", tab_buttons + [
        button(d + "_profile_fun_spread_btn", None, "profile_title", minimumSize=(0, 28)),
        column(d + "_profile_fun_spead_tab", groups),
        Stretch(),
    ], geo=(0, 0, 180, PAGE_H), margin=8)
    return box(name, None, [sidebar, stack(d + "_option_layout", (180, 0, PAGE_W, PAGE_H), pages)])


# ---------------------------------------------------------------- main window


def main_window():
    caption = box("caption_bar", (0, 0, 800, 40), [
        label("caption_title", (16, 0, 400, 40), "Qv Korvane Gaming Software"),
        tool("skinbtn", (616, 8, 28, 24), "\u25d0", "skin_btn_tip"),
        tool("setbtn", (648, 8, 28, 24), "\u2699", "set_btn_tip"),
        tool("minbtn", (688, 8, 28, 24), "\u2013", "min_btn_tip"),
        tool("maxbtn", (720, 8, 28, 24), "\u25a1", "max_btn_tip", visible=False),
        tool("restorebtn", (720, 8, 28, 24), "\u25a3", "restore_btn_tip", visible=False),
        tool("closebtn", (756, 8, 28, 24), "\u2715", "close_btn_tip"),
    ])
    # tabPage names the page of the stacked widget (see skin/README.md).
    device_tabs = [
        ("kb_tab", "tab_keyboard", "kb_tab_panel"),
        ("kb_onecolor_tab", "tab_keyboard", "kb_tab_panel"),
        ("kb_film_tab", "tab_keyboard", "kb_tab_panel"),
        ("kb_membrane_tab", "tab_keyboard", "kb_tab_panel"),
        ("ms_tab", "tab_mouse", "ms_tab_panel"),
        ("ms2_tab", "tab_mouse", "ms_tab_panel"),
        ("mp_tab", "tab_mousepad", "mp_tab_panel"),
    ]
    strip = row("device_tab_bar", [
        option(name, None, text, "device_tab", tabLayout="device_layout", tabPage=panel, visible=False, minimumSize=(120, 30))
        for name, text, panel in device_tabs
    ] + [Stretch()], geo=(0, 40, 800, 36), margin=3)

    kb = device_panel("kb", "kb_tab_panel", [
        ("kb_deng_Op_tab", "op_lighting", "kb_Deng_UI", "kb_deng_page"),
        ("kb_keyset_Op_tab", "op_keys", "kb_Key_UI", "kb_keyset_page"),
        ("kb_macro_Op_tab", "op_macro", "kb_Macro_UI", "kb_macro_page"),
    ], [("deng", "profile_light_title"), ("key", "profile_key_title")])
    ms = device_panel("ms", "ms_tab_panel", [
        ("ms_deng_Op_tab", "op_lighting", "MS_Deng_UI", "ms_deng_page"),
        ("ms_keyset_Op_tab", "op_keys", "MS_Key_UI", "ms_keyset_page"),
        ("ms_macro_Op_tab", "op_macro", "MS_Macro_UI", "ms_macro_page"),
        ("ms_DPI_Op_tab", "op_performance", "MS_DPI_UI", "ms_dpi_page"),
        ("ms_cursor_Op_tab", "op_cursor", "MS_CURSOR_UI", "ms_cursor_page"),
    ], [("deng", "profile_light_title"), ("key", "profile_key_title")])
    mp = device_panel("mp", "mp_tab_panel", [
        ("mp_deng_Op_tab", "op_lighting", "MP_deng_UI", "mp_deng_page"),
    ], [("deng", "profile_light_title")])

    return box("root", (0, 0, 800, 572), [
        caption,
        strip,
        stack("device_layout", (0, 76, 800, PAGE_H), [kb, ms, mp]),
        W("CircleProgress", "setting_progress", (360, 246, 80, 80), minimum=0, maximum=100, value=0,
          textVisible=False, visible=False),
    ], windowTitle="Qv Korvane Gaming Software", bkimage="file='common/background.png'")


# ---------------------------------------------------------------- keyboard pages


def keyboard_variant(name, picture_name, prefix, kind, combos, visible):
    mode_row = [label(name + "_mode_label", (0, 4, 90, 24), "Deng_mode_text")]
    for combo_name, modes, shown in combos:
        mode_row.append(combo(combo_name, (90, 4, 220, 24), modes, **({} if shown else {"visible": False})))
    kw = {} if visible else {"visible": False}
    return box(name, (10, 8, 600, 226), mode_row + [picture(picture_name, (0, 34, 600, 190), prefix, 126, kind)], **kw)


def keyboard_deng():
    variants = [
        keyboard_variant("kb_mechanical_light", "kb_deng_picture", "kb_dkey_", "keyboard", [
            ("kb_deng_combo_modeSelect", RGB_MODES, True),
            ("kb_deng_onecolor_combo_modeSelect", MONO_MODES, False),
        ], True),
        keyboard_variant("kb_film_light", "kb_deng_film_picture", "kb_fkey_", "keyboard_region", [
            ("kb_deng_film_combo_modeSelect", ZONE_MODES, True),
        ], False),
        keyboard_variant("kb_membrane_light", "kb_deng_membrane_picture", "kb_mkey_", "keyboard_membrane", [
            ("kb_deng_membrane_combo_modeSelect", ZONE_MODES, True),
        ], False),
    ]
    common = lighting_common("kb", (10, 290), 240, 376, (320, 290), 240)
    custom = [
        box("kb_deng_custom_tool_layout", (10, 410, 290, 30), [
            option("kb_Deng_on_bright_check", (0, 3, 140, 24), "Deng_paint_text", "kb_deng_paint_tool", checked=True),
            option("kb_Deng_off_kill_check", (146, 3, 140, 24), "Deng_erase_text", "kb_deng_paint_tool"),
        ], visible=False),
        box("kb_deng_custom_select_layout", (10, 444, 290, 50), [
            label("kb_deng_custom_slot_label", (0, 0, 90, 22), "Deng_custom_slot_text"),
            combo("kb_deng_combo_curtom_count", (90, 0, 80, 22), ["1", "2", "3", "4", "5"], currentIndex=0),
            check("kb_Deng_all_bright_check", (0, 26, 140, 22), "Deng_all_bright_text"),
            check("kb_Deng_all_kill_check", (146, 26, 140, 22), "Deng_all_kill_text"),
        ], visible=False),
        box("kb_deng_custom_color_layout", (320, 300, 40, 30), [
            colour_display("kb_Deng_custom_colordp_btn"),
        ], visible=False),
        palette("kb_deng_Color_Pallet", (320, 336, 290, 150)),
    ]
    return page("keyboard_deng_root", variants + common + custom)


def class_page(d, n, kind, geo):
    """The page of one key function class in a key editor; rows of label + control."""
    f = d + "_key_fct_"

    def lrow(i, text, control):
        return [label("%s_fct_%d_label_%d" % (d, n, i), (0, i * 32, 120, 26), text), control]

    def at(i, w=200):
        return (124, i * 32, w, 26)

    cells = []
    if kind == "default":
        cells = [label("%s_fct_%d_hint" % (d, n), (0, 0, 320, 26), "key_fct_default_hint")]
    elif kind == "button":
        cells = lrow(0, "key_fct_button_text", combo(f + "combo_11", at(0), BUTTON_CHOICES))
    elif kind == "hscroll":
        cells = (lrow(0, "key_fct_direction_text", combo(f + "combo_12", at(0), ["key_scroll_left", "key_scroll_right"], currentIndex=0))
                 + lrow(1, "key_fct_amount_text", number_edit(f + "edit_15", at(1, 80), "1", 127))
                 + lrow(2, "key_fct_high_text", number_edit(f + "edit_17", at(2, 80), "0", 15))
                 + lrow(3, "key_fct_low_text", number_edit(f + "edit_20", at(3, 80), "0", 15)))
    elif kind == "vscroll":
        cells = (lrow(0, "key_fct_direction_text", combo(f + "combo_13", at(0), ["key_scroll_up", "key_scroll_down"], currentIndex=0))
                 + lrow(1, "key_fct_amount_text", number_edit(f + "edit_16", at(1, 80), "1", 127))
                 + lrow(2, "key_fct_high_text", number_edit(f + "edit_18", at(2, 80), "0", 15))
                 + lrow(3, "key_fct_low_text", number_edit(f + "edit_19", at(3, 80), "0", 15)))
    elif kind == "dpi":
        cells = lrow(0, "key_fct_dpi_text", combo(f + "combo_14", at(0), DPI_CHOICES))
    elif kind == "fire":
        cells = (lrow(0, "key_fct_fire_1_text", number_edit(f + "edit_11", at(0, 80), "0", 255))
                 + lrow(1, "key_fct_fire_2_text", number_edit(f + "edit_12", at(1, 80), "1", 255)))
    elif kind == "keyboard":
        cells = (lrow(0, "key_fct_capture_text", edit(f + "edit_21", at(0), "", readOnly=True))
                 + [label("%s_fct_%d_hint" % (d, n), (0, 32, 320, 26), "key_fct_capture_hint")])
    elif kind == "consumer":
        cells = lrow(0, "key_fct_media_text", combo(f + "combo_21", at(0), CONSUMER_CHOICES))
    elif kind == "system":
        cells = lrow(0, "key_fct_system_text", combo(f + "combo_22", at(0), SYSTEM_CHOICES))
    elif kind == "macro":
        cells = (lrow(0, "key_fct_macro_text", combo(f + "combo_23", at(0)))
                 + lrow(1, "key_fct_run_mode_text", combo(f + "combo_24", at(1), MACRO_RUN_MODES))
                 + [box(d + "_tab_function_26", (0, 64, 330, 30), [
                     label(d + "_fct_repeat_label", (0, 0, 120, 26), "key_fct_repeat_text"),
                     number_edit(f + "edit_25", (124, 0, 80, 26), "1", 255),
                 ], visible=False)])
    elif kind == "gun":
        cells = [box("key_gun", (0, 0, 330, 30), lrow(0, "key_fct_gun_text", combo(f + "combo_25", at(0), GUNS)))]
    else:
        raise ValueError(kind)
    kw = {} if n == 0 else {"visible": False}
    return box("%s_tab_function_%d" % (d, n), geo, cells, **kw)


def class_combo_items(classes):
    return ["key_class_" + c for c in classes]


def keyboard_key():
    pictures = [
        picture("kb_mechanical_key", (10, 10, 600, 200), "kb_key_", 126, "keyboard"),
        picture("kb_film_key", (10, 10, 600, 200), "kb_keyf_", 126, "keyboard_region", visible=False),
        picture("kb_membrane_key", (10, 10, 600, 200), "kb_keym_", 126, "keyboard_membrane", visible=False),
    ]
    pages = [class_page("kb", n, kind, (10, 40, 580, 140)) for n, kind in enumerate(KEYBOARD_CLASSES)]
    panel = box("kb_tab_function", (10, 218, 600, 222), [
        label("kb_fct_class_label", (10, 8, 96, 24), "key_fct_class_text"),
        combo("kb_key_fct_combo", (110, 8, 220, 24), class_combo_items(KEYBOARD_CLASSES), currentIndex=0),
    ] + pages + [
        button("kb_key_butt_keydefalut", (10, 186, 180, 30), "key_default_text"),
    ], visible=False)
    return page("keyboard_key_root", pictures + [panel, button("kb_key_butt_prosave", (410, 452, 200, 34), "key_save_device_text")])


# ---------------------------------------------------------------- mouse pages


def mouse_picture(layout, body_name, parts_prefix, suffix, kw):
    bx, by, bw, bh = MOUSE_BODY
    cells = [label(body_name, (bx, by, bw, bh), "", bkimage="file='ms/key_body%s.png'" % suffix)]
    for n, (part, rect) in enumerate(MOUSE_PARTS):
        cells.append(label("%s%d_0" % (parts_prefix, n), rect, "", bkimage="file='ms/key_%s_normal%s.png'" % (part, suffix)))
    return box(layout, (10, 10, 240, 330), cells, **kw)


def mouse_key():
    pictures = [
        mouse_picture("ms_key_layout", "ms_mouse_body", "ms_key_", "", {}),
        mouse_picture("ms2_key_layout", "ms2_mouse_body", "ms2_key_", "_2", {"visible": False}),
    ]
    defaults = ["mouse_key_left", "mouse_key_middle", "mouse_key_right", "mouse_key_forward", "mouse_key_back", "mouse_key_DPI_loop"]
    buttons = [
        option("ms_key_%d" % n, (10 + (n % 2) * 122, 350 + (n // 2) * 36, 116, 30), text, "ms_key", toolTip=text)
        for n, text in enumerate(defaults)
    ]
    pages = [class_page("ms", n, kind, (10, 44, 330, 300)) for n, kind in enumerate(MOUSE_CLASSES)]
    panel = box("ms_tab_function", (260, 10, 350, 426), [
        label("ms_fct_class_label", (10, 10, 96, 24), "key_fct_class_text"),
        combo("ms_key_fct_combo", (110, 10, 230, 24), class_combo_items(MOUSE_CLASSES), currentIndex=0),
    ] + pages + [
        button("ms_key_butt_keysave", (10, 386, 160, 30), "key_apply_text"),
        button("ms_key_butt_keydefalut", (180, 386, 160, 30), "key_default_text"),
    ], visible=False)
    return page("mouse_key_root", pictures + buttons + [panel, button("ms_key_butt_prosave", (410, 452, 200, 34), "key_save_device_text")])


def mouse_deng():
    pictures = [
        picture("ms_deng_key", (10, 20, 250, 440), "ms_dkey_", 20, "mouse"),
        picture("ms2_deng_key", (10, 20, 250, 440), "ms2_dkey_", 20, "mouse2", visible=False),
    ]
    mode_row = box("ms_deng_mode_layout", (280, 10, 330, 30), [
        label("ms_deng_mode_label", (0, 3, 90, 24), "Deng_mode_text"),
        combo("ms_deng_combo_modeSelect", (90, 3, 240, 24), MOUSE_MODES),
    ])
    common = lighting_common("ms", (280, 330), 44, 180, (280, 330), 214, fx_extra=[
        tool("ms_Deng_FXL_btn", (270, 3, 28, 24), "\u25c0", "Deng_FXL_text"),
        tool("ms_Deng_FXR_btn", (302, 3, 28, 24), "\u25b6", "Deng_FXR_text"),
    ])
    return page("mouse_deng_root", pictures + [mode_row] + common + [palette("ms_deng_Color_Pallet", (280, 310, 330, 176))])


def mousepad_deng():
    mode_row = box("mp_deng_mode_layout", (10, 190, 290, 30), [
        label("mp_deng_mode_label", (0, 3, 84, 24), "Deng_mode_text"),
        combo("mp_deng_combo_modeSelect", (88, 3, 202, 24), PAD_MODES),
    ])
    common = lighting_common("mp", (10, 290), 224, 360, (320, 290), 190)
    return page("mousepad_deng_root", [picture("mp_deng_picture", (10, 10, 600, 170), "mp_dkey_", 15, "mousepad"), mode_row]
                + common + [palette("mp_deng_Color_Pallet", (320, 286, 290, 200)),
                            button("mp_reset_btn", (10, 452, 160, 30), "reset_device_text")])


def mouse_dpi():
    cells = []
    for n in range(1, 7):
        y = 10 + (n - 1) * 38
        cells.append(box("ms_DPI%d_la" % n, (10, y, 60, 34), [label("ms_DPI%d_label_rank" % n, (0, 5, 60, 24), "DPI%d" % n)]))
        cells.append(box("ms_DPI%d_va" % n, (70, y, 540, 34), [
            label("ms_DPI%d_min" % n, (0, 5, 50, 24), "200"),
            slider("ms_DPI%d_slider" % n, (54, 7, 330, 20), 0, 100, 0),
            label("ms_DPI%d_max" % n, (390, 5, 60, 24), "5000"),
            label("ms_DPI%d_label_value" % n, (456, 5, 80, 24), "200"),
        ]))
    cells += [
        label("ms_DPI_color_label", (10, 240, 290, 24), "DPI_color_text"),
        box("ms_DPI_color_layout", (10, 266, 290, 56), swatches("ms_DPI_color_btn_")),
        box("ms_DPI_color_display_layout", (10, 326, 40, 30), [
            colour_display("ms_DPI_colordp_btn"),
        ]),
        rgb_edits("ms_DPI_rgb_edits", (58, 326, 252, 30), "ms_DPI_edit_"),
        palette("Pallet", (320, 244, 290, 120)),
        label("ms_report_label", (10, 380, 120, 26), "report_rate_text"),
        combo("ms_report_fct_combo", (134, 380, 166, 26), REPORT_RATES),
        labelled_slider("ms_sensor_height_layout", "ms_sensor_height_label", "sensor_height_text", "ms_sensor_height_slider", 0, 2, (320, 378, 290, 30)),
        labelled_slider("ms_point_speed_layout", "ms_point_speed_label", "point_speed_text", "ms_point_speed_slider", 0, 9, (10, 420, 290, 30), 4),
        box("ms_gunlun_speed_layout", (320, 420, 290, 30), [
            label("ms_gunlun_speed_label", (0, 3, 120, 24), "wheel_speed_text"),
            tool("ms_gunlun_speed_down_btn", (124, 3, 28, 24), "\u2212", "wheel_speed_down_tip"),
            number_edit("ms_gunlun_speed_edit", (156, 3, 50, 24), "3", 10),
            tool("ms_gunlun_speed_up_btn", (210, 3, 28, 24), "+", "wheel_speed_up_tip"),
        ]),
        button("ms_reset_btn", (10, 458, 160, 30), "reset_device_text"),
    ]
    return page("mouse_dpi_root", cells)


def mouse_cursor():
    cells = [option("ms_gun_op_%d" % g, (10 + g * 100, 10, 94, 30), GUNS[g], "ms_gun") for g in range(4)]
    for k in range(30):
        cells.append(option("ms_bullet_op_%d" % k, (10 + (k % 10) * 60, 52 + (k // 10) * 36, 54, 30), str(k + 1), "ms_bullet"))
    cells += [
        tool("bullet_selected_prev", (10, 166, 36, 28), "\u25c0", "bullet_prev_tip"),
        label("bullet_select_index", (50, 166, 60, 28), "1", alignment="Qt::AlignCenter"),
        tool("bullet_selected_next", (114, 166, 36, 28), "\u25b6", "bullet_next_tip"),
        box("cursor_edit_layout", (10, 206, 600, 110), [
            label("cursor_delay_label", (0, 0, 140, 28), "cursor_delay_text"),
            number_edit("ms_cursor_delay_eidt", (144, 0, 100, 28), "0", 65535),
            label("cursor_x_label", (0, 38, 140, 28), "cursor_x_text"),
            number_edit("ms_cursor_x_eidt", (144, 38, 100, 28), "0", 255),
            check("ms_cursor_x_check", (256, 38, 260, 28), "mouse_move_to_right_text"),
            label("cursor_y_label", (0, 76, 140, 28), "cursor_y_text"),
            number_edit("ms_cursor_y_eidt", (144, 76, 100, 28), "0", 255),
            check("ms_cursor_y_check", (256, 76, 260, 28), "mouse_move_to_down_text"),
        ], enabled=False),
        button("ms_bulletdate_save_btn", (10, 452, 142, 34), "cursor_save_text"),
        button("ms_bulletdate_reset_btn", (162, 452, 142, 34), "cursor_reset_text"),
        button("ms_bulletdate_import_btn", (314, 452, 142, 34), "cursor_import_text"),
        button("ms_bulletdate_export_btn", (466, 452, 142, 34), "cursor_export_text"),
    ]
    return page("mouse_cursor_root", cells)


# ---------------------------------------------------------------- macro pages


def macro_page(d, root):
    m = d + "_macro_"
    names = box(d + "_MacroName", (0, 34, 180, 440), [
        label(m + "list_title", (0, 0, 180, 22), "macro_list_title"),
        W("QListWidget", d + "_MacroName_list", (0, 24, 180, 300)),
        tool(m + "btn_name_add", (0, 330, 40, 28), "+", "macro_add_tip"),
        tool(m + "btn_name_sub", (44, 330, 40, 28), "\u2212", "macro_delete_tip"),
        edit(m + "edit_macroname", (0, 364, 140, 28), "", maxLength=259),
        tool(m + "btn_savemacroname", (144, 364, 36, 28), "\u2713", "macro_rename_tip"),
    ])
    presses = [("leftkey", "mouse_key_left"), ("rightkey", "mouse_key_right"), ("moudlekey", "mouse_key_middle"),
               ("forwardkey", "mouse_key_forward"), ("backkey", "mouse_key_back")]
    events = [button(m + "inset_%s_btn" % key, (0, i * 32, 180, 28), text) for i, (key, text) in enumerate(presses)]
    for i, (key, _) in enumerate(presses):
        events.append(box(m + "inset_%s_tab" % key, (0, 164, 180, 32), [
            button(m + "inset_%sdown_btn" % key, (0, 2, 86, 28), "macro_insert_down"),
            button(m + "inset_%sup_btn" % key, (94, 2, 86, 28), "macro_insert_up"),
        ], **({} if i == 0 else {"visible": False})))
    moves = [("moveleftkey", "mouse_x_left_edit", "mouse_move_to_left_text"),
             ("moverightkey", "mouse_x_right_edit", "mouse_move_to_right_text"),
             ("moveupkey", "mouse_y_up_edit", "mouse_move_to_up_text"),
             ("movedownkey", "mouse_y_down_edit", "mouse_move_to_down_text")]
    for i, (key, edit_name, text) in enumerate(moves):
        y = 210 + i * 34
        events.append(button(m + "inset_%s_btn" % key, (0, y, 120, 28), text))
        events.append(number_edit(d + "_" + edit_name, (126, y, 54, 28), "10", 255))
    mouse_events = box(d + "_MacroMouseEvent", (0, 34, 180, 440), events, visible=False)
    left = box(d + "_macro_left", (10, 10, 180, 476), [
        option(m + "btn_shubiao", (0, 0, 180, 28), "macro_mouse_event_text"),
        names,
        mouse_events,
    ])

    list_buttons = [("up", "\u25b2", "macro_up_tip"), ("down", "\u25bc", "macro_down_tip"),
                    ("uptop", "\u2912", "macro_top_tip"), ("downbottom", "\u2913", "macro_bottom_tip"),
                    ("delete", "\u2715", "macro_delete_action_tip"), ("deleteall", "\u232b", "macro_delete_all_tip")]
    middle = box(d + "_macro_middle", (200, 10, 250, 476), [
        label(m + "col_event", (0, 0, 110, 22), "macro_col_event"),
        label(m + "col_state", (110, 0, 60, 22), "macro_col_state"),
        label(m + "col_delay", (170, 0, 80, 22), "macro_col_delay"),
        W("QListWidget", d + "_Macro_list", (0, 24, 250, 330)),
    ] + [tool(m + "btn_" + key, (i * 42, 360, 38, 28), glyph, tip) for i, (key, glyph, tip) in enumerate(list_buttons)] + [
        box(m + "tab_saveorcancel", (0, 400, 250, 34), [
            button(m + "btn_save", (0, 2, 120, 30), "macro_save_text"),
            button(m + "btn_cancel", (130, 2, 120, 30), "macro_cancel_text"),
        ], visible=False),
    ])

    key_page = box(m + "page_key", None, [
        label(m + "key_label", (0, 0, 150, 20), "macro_key_text"),
        combo(m + "combo_keyselect", (0, 22, 150, 26)),
        label(m + "updown_label", (0, 54, 150, 20), "macro_updown_text"),
        combo(m + "combo_upordown", (0, 76, 150, 26), ["macro_release", "macro_press"]),
        label(m + "key_delay_label", (0, 108, 150, 20), "macro_delay_text"),
        number_edit(d + "__macro_edit_ActionDelay", (0, 130, 150, 26), "0", 65535),
    ])
    mouse_page = box(m + "page_mouse", None, [
        label(m + "mouse_label", (0, 0, 150, 20), "macro_mouse_text"),
        combo(m + "combo_mouselect", (0, 22, 150, 26), MOUSE_EVENTS),
        box(m + "tab_mou_pointer_skewing", (0, 54, 150, 52), [
            label(m + "distance_label", (0, 0, 150, 20), "macro_distance_text"),
            number_edit(m + "edit_mou_pointer_skewing", (0, 22, 150, 26), "0", 255),
        ], visible=False),
        label(m + "mouse_delay_label", (0, 108, 150, 20), "macro_delay_text"),
        number_edit(d + "__macro_edit_mou_action_delay", (0, 130, 150, 26), "0", 65535),
    ])
    options = [("keyboard_event", "macro_keyboard_event_text", True), ("mouse_click", "macro_mouse_click_text", True),
               ("mouse_roller", "macro_mouse_roller_text", False), ("mouse_move", "macro_mouse_move_text", False),
               ("check_time", "macro_fixed_delay_text", False)]
    right = box(d + "_macro_right", (460, 10, 150, 476), [
        button(m + "btn_redio", (0, 0, 150, 34), "macro_btn_star_redio_text"),
    ] + [check(m + key, (0, 42 + i * 26, 150, 24), text, **({"checked": True} if on else {}))
         for i, (key, text, on) in enumerate(options)] + [
        stack(d + "_tab_macro_edit", (0, 180, 150, 200), [box(m + "page_none", None), key_page, mouse_page]),
    ])
    return page(root, [left, middle, right])


# ---------------------------------------------------------------- other windows


def message_box():
    return box("msg_root", (0, 0, 360, 200), [
        label("MessageTitle", (12, 0, 300, 36), "message_title"),
        tool("closebtn", (324, 6, 28, 24), "\u2715", "close_btn_tip"),
        label("MessageText", (20, 44, 320, 96), "message_default", wordWrap=True, alignment="Qt::AlignCenter"),
        button("confirm_btn", (50, 152, 120, 32), "confirm_text"),
        button("cancel_btn", (190, 152, 120, 32), "cancel_text"),
    ], windowTitle="msgwnd", bkimage="file='common/background.png'")


def skin_picker():
    images = ["common/background.png", "common/background_2.png", "common/background_3.png"]
    image_page = box("skin_image_page", None, [
        W("QToolButton", "skin_image_btn", (i * 92, 0, 86, 62), bkimage="file='%s'" % image,
          toolTip="skin_image_tip") for i, image in enumerate(images)
    ] + [button("skin_Custom", (0, 70, 270, 30), "skin_custom_text")])
    colours = [0xFF1C212B, 0xFF102A3C, 0xFF331618, 0xFF1E3320, 0xFF2E2440, 0xFF3A3A3A, 0xFF0B0D12, 0xFF40301A]
    colour_page = box("skin_color_page", None, [
        swatch("skin_color_btn", ((i % 4) * 68, (i // 4) * 48, 62, 42), argb) for i, argb in enumerate(colours)
    ])
    return box("skin_root", (0, 0, 290, 220), [
        option("skin_image", (10, 8, 100, 28), "skin_image_text", "skin_kind", checked=True),
        option("skin_color", (114, 8, 100, 28), "skin_color_text", "skin_kind"),
        stack("skin_tab", (10, 42, 270, 130), [image_page, colour_page]),
        button("skin_reset", (10, 180, 270, 30), "skin_reset_text"),
    ], windowTitle="skinframe")


def update_window():
    def product(page_name, title, now, new, btn, progress):
        return box(page_name, None, [
            label(page_name + "_title", (0, 0, 160, 28), title),
            label(now, (164, 0, 90, 28), "unknown"),
            label(new, (258, 0, 90, 28), "unknown"),
            button(btn, (360, 0, 130, 28), "update_btn_text"),
            label(progress, (360, 0, 130, 28), "0%", visible=False),
        ], visible=False)

    def place(w, y):
        w.geo = (20, y, 500, 28)
        return w

    keyboards = [
        product("rgb_page", "update_rgb_keyboard", "RGB_KB_N", "RGB_KB_F", "rgb_kb_btn", "rgb_progress_text"),
        product("blue_page", "update_mono_keyboard", "BLUE_KB_N", "BLUE_KB_F", "bule_kb_btn", "blue_progress_text"),
        product("region_page", "update_region_keyboard", "REGION_KB_N", "REGION_KB_F", "region_kb_btn", "region_progress_text"),
        product("ZR530X_page", "update_membrane_keyboard", "ZR530X_KB_N", "ZR530X_KB_F", "membrane_kb_btn", "membrane_progress_text"),
    ]
    mice = [
        product("ms_page", "update_mouse", "ms_now_fw", "ms_new", "ms_update_btn", "ms_progress_text"),
        product("MS2_page", "update_mouse_2", "MS2_now_N", "MS2_new_F", "ms2_update_btn", "ms2_progress_text"),
    ]
    return box("update_root", (0, 0, 540, 330), [
        label("update_title", (16, 0, 400, 40), "update_title"),
        tool("closebtn", (500, 8, 28, 24), "\u2715", "close_btn_tip"),
        label("update_col_now", (184, 48, 90, 22), "update_installed_text"),
        label("update_col_new", (278, 48, 90, 22), "update_newest_text"),
        box("soft_row", (20, 76, 500, 28), [
            label("soft_title", (0, 0, 160, 28), "update_software"),
            label("soft_now_version", (164, 0, 90, 28), "unknown"),
            label("soft_new_version", (258, 0, 90, 28), "unknown"),
            button("soft_update_btn", (360, 0, 130, 28), "update_btn_text"),
        ]),
    ] + [place(k, 112) for k in keyboards] + [place(m, 148) for m in mice] + [
        label("language_label", (20, 200, 160, 28), "language_text"),
        combo("lanuage_select_combo", (184, 200, 180, 28), LANGUAGE_LIST),
        button("net_btn", (20, 280, 160, 32), "net_text"),
        button("facebook_btn", (190, 280, 160, 32), "facebook_text"),
    ], windowTitle="FunctionSet", bkimage="file='common/background.png'")


# ---------------------------------------------------------------- menus

LANGUAGE_MENU = """  <menu name="Menu_language" text="Menu_language">
    <item name="lan_cn" text="lan_cn"/>
    <item name="lan_tw" text="lan_tw"/>
    <item name="lan_en" text="lan_en"/>
  </menu>
"""


def write_menu(path, body):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        f.write("<!-- The program appends its own entries after these. -->\n")
        f.write("<menu>\n" + body + "  <separator/>\n</menu>\n")


def text_keys(top, keys):
    """The language keys a window shows: texts, tool tips and list items."""
    for value in [top.props.get("text"), top.props.get("toolTip")] + list(top.items or ()):
        if value and re.fullmatch(r"[A-Za-z][A-Za-z0-9]*_[A-Za-z0-9_]*", value):
            keys.add(value)
    for child in top.children:
        if isinstance(child, W):
            text_keys(child, keys)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "skin"
    os.makedirs(out, exist_ok=True)
    files = {
        "main.ui": main_window(),
        "msg.ui": message_box(),
        "skin.ui": skin_picker(),
        "update.ui": update_window(),
        "keyboard_deng.ui": keyboard_deng(),
        "keyboard_key.ui": keyboard_key(),
        "keyboard_macro.ui": macro_page("kb", "keyboard_macro_root"),
        "Mouse_deng.ui": mouse_deng(),
        "Mouse_key.ui": mouse_key(),
        "Mouse_macro.ui": macro_page("ms", "mouse_macro_root"),
        "Mouse_DPI.ui": mouse_dpi(),
        "Mouse_cursor.ui": mouse_cursor(),
        "MousePad_deng.ui": mousepad_deng(),
    }
    keys = set()
    for name, top in files.items():
        write_ui(os.path.join(out, name), top)
        text_keys(top, keys)
    keys.update(["lan_cn", "lan_tw", "lan_en", "Menu_language"])
    # For whoever writes the language files: every key the skin shows.
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "text_keys.txt"), "w", encoding="utf-8") as f:
        f.write("".join(k + "\n" for k in sorted(keys, key=str.lower)))
    write_menu(os.path.join(out, "menu.xml"), LANGUAGE_MENU)
    write_menu(os.path.join(out, "setmenu.xml"), LANGUAGE_MENU)


if __name__ == "__main__":
    main()
