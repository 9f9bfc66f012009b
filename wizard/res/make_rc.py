#!/usr/bin/env python3
"""Writes ../pages.rc: the seven page templates and the string table in every language of the
wizard, from the layout (layout.py, in page pixels) and the texts (texts_*.py).
Run it again after changing either: python3 make_rc.py"""
import os

from layout import PAGES, PAGE_W, PAGE_H
from texts_en import EN
from texts_other import OTHER

# (language id, LANGUAGE statement, dialog font, texts)
LANGS = [
    (1028, "LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL", '9, "PMingLiU", 400, 0, 136'),
    (1029, "LANG_CZECH, SUBLANG_DEFAULT", '8, "MS Shell Dlg", 400, 0, 238'),
    (1031, "LANG_GERMAN, SUBLANG_GERMAN", '8, "MS Shell Dlg", 400, 0, 1'),
    (1033, "LANG_ENGLISH, SUBLANG_ENGLISH_US", '8, "MS Shell Dlg", 400, 0, 1'),
    (1034, "LANG_SPANISH, SUBLANG_SPANISH", '8, "MS Shell Dlg", 400, 0, 1'),
    (1036, "LANG_FRENCH, SUBLANG_FRENCH", '8, "MS Shell Dlg", 400, 0, 1'),
    (1040, "LANG_ITALIAN, SUBLANG_ITALIAN", '8, "MS Shell Dlg", 400, 0, 1'),
    (1041, "LANG_JAPANESE, SUBLANG_DEFAULT", '9, "MS UI Gothic", 400, 0, 128'),
    (1046, "LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN", '8, "MS Shell Dlg", 400, 0, 1'),
    (1051, "LANG_SLOVAK, SUBLANG_DEFAULT", '8, "MS Shell Dlg", 400, 0, 238'),
    (1055, "LANG_TURKISH, SUBLANG_DEFAULT", '8, "MS Shell Dlg", 400, 0, 162'),
    (1060, "LANG_SLOVENIAN, SUBLANG_DEFAULT", '8, "MS Shell Dlg", 400, 0, 238'),
    (2052, "LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED", '9, "SimSun", 400, 0, 134'),
    (2058, "LANG_SPANISH, SUBLANG_SPANISH_MEXICAN", '8, "MS Shell Dlg", 400, 0, 1'),
    (3082, "LANG_SPANISH, SUBLANG_SPANISH_MODERN", '8, "MS Shell Dlg", 400, 0, 1'),
]

STRINGS = [(61200, "s_sheet"), (61201, "s_program"), (61202, "s_file"), (61203, "s_web"),
           (61205, "s_enable"), (61206, "s_disable"), (61207, "s_yes"), (61208, "s_no")] + \
          [(61209 + k, "s_f%d" % (k + 1)) for k in range(7)] + [(61221, "s_tray_show"), (61222, "s_tray_hide")]

STYLES = {
    "step": ('"Static"', "SS_LEFT | SS_NOPREFIX"),
    "heading": ('"Static"', "SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE"),
    "text": ('"Static"', "SS_LEFT | SS_NOPREFIX"),
    "strong": ('"Static"', "SS_LEFT | SS_NOPREFIX"),
    "title": ('"Static"', "SS_LEFT | SS_NOPREFIX"),
    "centre": ('"Static"', "SS_CENTER | SS_NOPREFIX"),
    "example": ('"Static"', "SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX"),
    "picture": ('"Static"', "SS_BITMAP"),
    "radio_first": ('"Button"', "BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP"),
    "radio": ('"Button"', "BS_AUTORADIOBUTTON"),
    "button": ('"Button"', "BS_PUSHBUTTON | WS_TABSTOP"),
    "button_left": ('"Button"', "BS_PUSHBUTTON | BS_LEFT | WS_TABSTOP"),
    "tree": ('"SysTreeView32"', "TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP"),
    "tree_blank": ('"SysTreeView32"', "WS_BORDER | WS_DISABLED"),
    "edit": ('"Edit"', "ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP"),
    "combo_font": ('"ComboBox"', "CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | CBS_SORT | WS_VSCROLL | WS_TABSTOP"),
    "combo_size": ('"ComboBox"', "CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP"),
    "combo_color": ('"ComboBox"', "CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL | WS_TABSTOP"),
}


def dlu(x, y, w, h):
    # Pixels of the page grid to dialog units (1.5 pixels across, 1.625 down per unit).
    x1, y1 = round(x / 1.5), round(y / 1.625)
    x2, y2 = round((x + w) / 1.5), round((y + h) / 1.625)
    return x1, y1, x2 - x1, y2 - y1


def quote(text):
    return '"' + text.replace('"', '""') + '"'


def dialog(template_id, font, texts):
    w, h = dlu(0, 0, PAGE_W, PAGE_H)[2:]
    out = ["%d DIALOGEX 0, 0, %d, %d" % (template_id, w, h),
           "STYLE DS_SHELLFONT | DS_CONTROL | WS_CHILD | WS_DISABLED | WS_CAPTION",
           "CAPTION " + quote(texts["caption"]), "FONT " + font, "BEGIN"]
    for kind, cid, key, x, y, cw, ch in PAGES[template_id]:
        cls, style = STYLES[kind]
        text = key if kind == "picture" else quote(texts[key] if key else "")
        if kind == "heading":
            text = quote("  " + texts[key])
        out.append("    CONTROL %s, %d, %s, %s | WS_CHILD | WS_VISIBLE, %d, %d, %d, %d"
                   % (text, cid, cls, style, *dlu(x, y, cw, ch)))
    out.append("END")
    return "\n".join(out)


def main():
    # The program sizes its pages from these (resource.h PAGE_CX, PAGE_CY).
    assert dlu(0, 0, PAGE_W, PAGE_H)[2:] == (477, 265)
    here = os.path.dirname(os.path.abspath(__file__))
    parts = ["// Written by res/make_rc.py from res/layout.py and the texts; do not edit.", ""]
    for lang_id, statement, font in LANGS:
        if lang_id != 1033 and lang_id not in OTHER:
            print("make_rc: no texts yet for language %d" % lang_id)
            continue
        texts = EN if lang_id == 1033 else OTHER[lang_id]
        missing = [k for k in EN if k not in texts]
        if missing:
            raise SystemExit("language %d lacks %s" % (lang_id, ", ".join(missing)))
        parts.append("LANGUAGE " + statement)
        for template_id in sorted(PAGES):
            parts.append(dialog(template_id, font, texts))
        parts.append("STRINGTABLE\nBEGIN")
        for sid, key in STRINGS:
            parts.append("    %d %s" % (sid, quote(texts[key])))
        parts.append("END\n")
    with open(os.path.join(here, "..", "pages.rc"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(parts))


if __name__ == "__main__":
    main()
