"""The page templates of the wizard in page pixels (716 x 430): (kind, id, text key, x, y, w, h).
Kinds: step, heading, text, centre, title, radio, radio_first, button, button_left, picture, tree,
edit, combo_font, combo_size, combo_color, example. Picture entries give the bitmap id as text."""

STEP_X = ((16, 124), (146, 102), (254, 112), (372, 96), (474, 140), (620, 90))
STEPS = [("step", 1032 + k, "step%d" % k, STEP_X[k][0], 8, STEP_X[k][1], 18) for k in range(6)]


def page(heading):
    return STEPS + [("heading", 1038, heading, 0, 30, 716, 36)]


PAGE_W, PAGE_H = 716, 430

PAGES = {
    106: page("h_welcome") + [
        ("picture", 1006, "211", 28, 86, 300, 220),
        ("title", 1001, "welcome_title", 350, 92, 350, 46),
        ("picture", 1005, "210", 350, 140, 340, 6),
        ("text", 1002, "welcome1", 350, 160, 350, 18),
        ("text", 1003, "welcome2", 350, 180, 350, 18),
        ("text", 1045, "welcome3", 350, 222, 350, 18),
        ("text", 1046, "version", 350, 380, 350, 18),
    ],
    130: page("h_nav") + [
        ("text", 1080, "nav1", 40, 86, 640, 18),
        ("text", 1081, "nav2", 40, 104, 640, 18),
        ("radio_first", 1016, "nav_on", 60, 150, 320, 20),
        ("radio", 1017, "nav_off", 60, 178, 320, 20),
        ("picture", 1116, "212", 410, 140, 260, 180),
        ("picture", 1118, "213", 410, 140, 260, 180),
    ],
    132: page("h_krh") + [
        ("text", 1080, "krh1", 40, 86, 640, 36),
        ("radio_first", 1013, "krh_on", 60, 150, 320, 20),
        ("radio", 1014, "krh_off", 60, 178, 320, 20),
        ("picture", 1123, "214", 410, 140, 260, 180),
        ("picture", 1124, "215", 410, 140, 260, 180),
    ],
    135: page("h_keys") + [
        ("text", 1048, "keys_select", 20, 78, 420, 18),
        ("button", 1101, "keys_reset", 560, 74, 140, 24),
        ("picture", 1124, "216", 190, 106, 530, 130),
    ] + [("picture", 1125 + k, str(217 + k), 190, 106, 530, 130) for k in range(7)] + [
        ("centre", 1092 + k, "", (236, 312, 386, 458, 531, 605, 678)[k] - 35, 202, 70, 30) for k in range(7)
    ] + [
        ("button_left", 1100, "", 20, 242, 680, 22),
        ("text", 1049, "keys_assign", 20, 272, 300, 18),
        ("radio_first", 1060, "src_all", 30, 292, 300, 18),
        ("radio", 1063, "src_user", 30, 312, 300, 18),
        ("radio", 1061, "src_file", 30, 332, 300, 18),
        ("radio", 1062, "src_web", 30, 352, 300, 18),
        ("text", 1050, "keys_label", 20, 376, 300, 18),
        ("edit", 1020, "", 20, 396, 200, 22),
        ("button", 1080, "keys_apply", 230, 395, 90, 24),
        ("text", 1076, "", 340, 272, 300, 18),
        ("tree_blank", 1022, "", 340, 292, 360, 128),
        ("tree", 1026, "", 340, 292, 360, 128),
        ("tree", 1025, "", 340, 292, 360, 128),
        ("tree", 1024, "", 340, 292, 360, 128),
        ("tree", 1023, "", 340, 292, 360, 96),
        ("text", 1077, "keys_address", 340, 398, 140, 18),
        ("edit", 1078, "", 482, 396, 158, 22),
        ("button", 1079, "keys_test", 646, 395, 54, 24),
    ],
    136: page("h_print") + [
        ("text", 1046, "print1", 40, 86, 640, 18),
        ("radio_first", 1024, "print_yes", 60, 128, 360, 20),
        ("radio", 1025, "print_no", 60, 154, 360, 20),
        ("text", 1088, "print_how", 84, 192, 340, 18),
        ("radio_first", 1086, "print_white", 100, 214, 320, 20),
        ("radio", 1087, "print_black", 100, 240, 320, 20),
        ("picture", 1122, "226", 440, 128, 240, 180),
        ("picture", 1123, "227", 440, 128, 240, 180),
    ],
    139: page("h_osd") + [
        ("text", 1046, "osd1", 30, 76, 680, 18),
        ("text", 1003, "osd2", 30, 94, 680, 18),
        ("text", 1004, "osd3", 30, 112, 680, 18),
        ("text", 1049, "osd_caption", 30, 140, 260, 18),
        ("radio_first", 1018, "osd_on", 40, 160, 280, 20),
        ("radio", 1019, "osd_off", 40, 182, 280, 20),
        ("text", 1082, "osd_font", 40, 214, 66, 18),
        ("combo_font", 1029, "", 110, 210, 200, 200),
        ("text", 1083, "osd_size", 40, 244, 66, 18),
        ("combo_size", 1030, "", 110, 240, 80, 200),
        ("text", 1084, "osd_color", 40, 274, 66, 18),
        ("combo_color", 1031, "", 110, 270, 80, 260),
        ("text", 1085, "osd_example", 340, 140, 200, 18),
        ("example", 1040, "", 340, 160, 360, 130),
        ("text", 1050, "tray_caption", 30, 306, 260, 18),
        ("radio_first", 1041, "tray_show", 40, 326, 300, 20),
        ("radio", 1042, "tray_hide", 40, 348, 300, 20),
        ("text", 1047, "tray1", 40, 378, 440, 18),
        ("text", 1048, "tray2", 40, 396, 440, 18),
        ("picture", 1127, "224", 500, 306, 200, 100),
        ("picture", 1126, "225", 500, 306, 200, 100),
    ],
    137: page("h_summary") + [
        ("strong", 2135, "", 16, 72, 112, 22),
        ("strong", 2136, "", 132, 72, 112, 22),
        ("strong", 2137, "", 364, 72, 112, 22),
        ("picture", 1144, "228", 16, 110, 460, 100),
    ] + [("centre", 1145 + k, "", 23 + 64 * k, 168, 66, 34) for k in range(7)] + [
        ("strong", 2138, "sum_font", 480, 104, 220, 22),
        ("example", 1128, "", 480, 128, 220, 150),
        ("strong", 2139, "sum_size", 480, 286, 220, 22),
        ("strong", 2140, "sum_color", 480, 340, 160, 22),
        ("strong", 2141, "", 480, 368, 236, 46),
    ],
}
