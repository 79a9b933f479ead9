"""A small description language for Qt Designer (.ui, format 4.0) files.

A window is a tree of W objects. A widget either places its children by geometry
(x, y, width, height relative to it) or, when given a layout ("h" or "v"), hands them to a
box layout; Stretch() in a layout is a spacer. Texts are language keys that the front end
translates. Properties the reader and the front end read but Qt does not know are written
as dynamic properties (stdset="0"): visible, group, bkimage, bkcolor, colour, keyPrefix,
keyCount, picture, tabLayout, tabPage.
"""

import xml.etree.ElementTree as ET

# Custom widget classes: the page tags stand for whole page files, the others are drawn
# by the front end. Every class a file uses is declared in its <customwidgets>.
CUSTOM_CLASSES = {
    "kb_Key_UI": "QWidget",
    "kb_Deng_UI": "QWidget",
    "kb_Macro_UI": "QWidget",
    "MS_Deng_UI": "QWidget",
    "MS_Macro_UI": "QWidget",
    "MS_Key_UI": "QWidget",
    "MP_deng_UI": "QWidget",
    "MS_DPI_UI": "QWidget",
    "MS_CURSOR_UI": "QWidget",
    "kb_CURSOR_UI": "QWidget",
    "CircleProgress": "QProgressBar",
    "OptionButton": "QPushButton",
    "ColourPalette": "QWidget",
    "DevicePicture": "QWidget",
}
CUSTOM_HEADER = "gui/skin_widgets.h"

DYNAMIC = (
    "visible",
    "group",
    "bkimage",
    "bkcolor",
    "colour",
    "keyPrefix",
    "keyCount",
    "picture",
    "tabLayout",
    "tabPage",
)


class Stretch:
    """A spacer in a box layout."""

    count = 0

    def __init__(self):
        Stretch.count += 1
        self.name = "spacer_%d" % Stretch.count


class W:
    def __init__(self, cls, name, geo=None, children=(), layout=None, items=None, margin=0, **props):
        self.cls = cls
        self.name = name
        self.geo = geo
        self.children = list(children)
        self.layout = layout
        self.items = items
        self.margin = margin
        self.props = props


def _prop(parent, name, kind, value, stdset=True):
    attrs = {"name": name}
    if not stdset:
        attrs["stdset"] = "0"
    p = ET.SubElement(parent, "property", attrs)
    if kind == "rect":
        r = ET.SubElement(p, "rect")
        for tag, v in zip(("x", "y", "width", "height"), value):
            ET.SubElement(r, tag).text = str(v)
    elif kind == "size":
        s = ET.SubElement(p, "size")
        ET.SubElement(s, "width").text = str(value[0])
        ET.SubElement(s, "height").text = str(value[1])
    else:
        ET.SubElement(p, kind).text = value


def _value(v):
    if isinstance(v, bool):
        return "bool", "true" if v else "false"
    if isinstance(v, int):
        return "number", str(v)
    return "string", str(v)


# Properties Qt itself knows, with the value type Designer writes for them.
_STD = {
    "text": "string",
    "toolTip": "string",
    "windowTitle": "string",
    "styleSheet": "string",
    "enabled": "bool",
    "checkable": "bool",
    "checked": "bool",
    "readOnly": "bool",
    "minimum": "number",
    "maximum": "number",
    "value": "number",
    "currentIndex": "number",
    "maxLength": "number",
    "wordWrap": "bool",
    "textVisible": "bool",
}


def _emit(parent, w, used):
    used.add(w.cls)
    el = ET.SubElement(parent, "widget", {"class": w.cls, "name": w.name})
    if w.geo is not None:
        _prop(el, "geometry", "rect", w.geo)
    for key, v in w.props.items():
        if key in ("orientation",):
            _prop(el, key, "enum", "Qt::" + v)
        elif key == "alignment":
            _prop(el, key, "set", v)
        elif key in ("minimumSize", "maximumSize"):
            _prop(el, key, "size", v)
        elif key in _STD:
            kind = _STD[key]
            text = ("true" if v else "false") if kind == "bool" else str(v)
            _prop(el, key, kind, text)
        elif key in DYNAMIC:
            if key in ("bkcolor", "colour"):
                _prop(el, key, "string", "0x%08X" % v, stdset=False)
            else:
                kind, text = _value(v)
                _prop(el, key, kind, text, stdset=False)
        else:
            raise ValueError("%s: unknown property %s" % (w.name, key))
    for item in w.items or ():
        it = ET.SubElement(el, "item")
        _prop(it, "text", "string", item)
    if w.layout:
        lay = ET.SubElement(
            el, "layout", {"class": "QHBoxLayout" if w.layout == "h" else "QVBoxLayout", "name": w.name + "_box"}
        )
        _prop(lay, "spacing", "number", "4")
        for side in ("leftMargin", "topMargin", "rightMargin", "bottomMargin"):
            _prop(lay, side, "number", str(w.margin))
        for child in w.children:
            item = ET.SubElement(lay, "item")
            if isinstance(child, Stretch):
                sp = ET.SubElement(item, "spacer", {"name": child.name})
                _prop(sp, "orientation", "enum", "Qt::Horizontal" if w.layout == "h" else "Qt::Vertical")
                _prop(sp, "sizeHint", "size", (0, 0))
            else:
                _emit(item, child, used)
    else:
        for child in w.children:
            _emit(el, child, used)


def write_ui(path, top):
    """Writes one Designer file whose top-level widget is `top`."""
    ui = ET.Element("ui", {"version": "4.0"})
    ET.SubElement(ui, "class").text = top.name
    used = set()
    _emit(ui, top, used)
    custom = sorted(c for c in used if c in CUSTOM_CLASSES)
    if custom:
        cws = ET.SubElement(ui, "customwidgets")
        for cls in custom:
            cw = ET.SubElement(cws, "customwidget")
            ET.SubElement(cw, "class").text = cls
            ET.SubElement(cw, "extends").text = CUSTOM_CLASSES[cls]
            ET.SubElement(cw, "header").text = CUSTOM_HEADER
    ET.SubElement(ui, "resources")
    ET.SubElement(ui, "connections")
    ET.indent(ui, space=" ")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        f.write(ET.tostring(ui, encoding="unicode"))
        f.write("\n")
