// Command identifiers of the desktop program and their status prompts and tool tips.
#pragma once

#include <QString>

// The numbers of the program's resource table; menus, toolbar and prompts key on them.
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616,
    ID_EDIT_CLEAR = 57632,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_FIND = 57636,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_REPEAT = 57640,
    ID_EDIT_REPLACE = 57641,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_WINDOW_TILE_VERT = 57652,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,

    ID_VIEW_RESULT = 32801,
    ID_MAGNIFY = 32802,
    ID_REDUCE = 32803,
    ID_EDIT_DATA = 32804,
    ID_OPEN_TEXT = 32805,
    ID_DISPLACEMENT_COLOUR = 32806,
    ID_DISPLACED_SHAPE = 32807,
    ID_INFLUENCE_LINE = 32808,
    ID_PREVIOUS = 32809,
    ID_NEXT = 32810,
    ID_MODE_SHAPE = 32811,
    ID_GRAPH_SELECTOR = 32812,
    ID_LIVE_LOAD_SELECTOR = 32813,
    ID_ELEMENT_GROUP = 32817,
    ID_ELEMENT_NUMBERS = 32818,
    ID_NODE_NUMBERS = 32819,
    ID_CONSTRAINTS = 32820,
    ID_WINDOW_ZOOM = 32821,
    ID_ZOOM = 32822,
    ID_PAN = 32824,
    ID_INITIAL_WINDOW = 32825,
    ID_MOMENT_ENVELOPE = 32827,
    ID_SHEAR_ENVELOPE = 32828,
    ID_AXIAL_ENVELOPE = 32829,
    ID_LIVE_LOAD_TYPE = 32832,
    ID_NATURAL_VIBRATION = 32833,
    ID_INFLUENCE_OUTPUT = 32837,
    ID_SECTIONS = 32838,
    ID_DYNAMIC_RESPONSE = 32906,
    ID_DYNAMIC_DATA = 32909,
    ID_DYNAMIC_LOAD_EDIT = 32910,
    ID_HOMEPAGE = 32912,
    ID_COMBINATION = 32914,
    ID_EXPORT_REPORT = 32950,
    ID_EXPORT_EXCEL = 32951,
    ID_EXPORT_DXF = 32952,
    ID_CANCEL_RUN = 32960,
    ID_ANIMATE = 32961,
    ID_ENGINEERING_UNITS = 32962,
};

// The string-table entry of a command: the status prompt, then "\n" and the tool tip.
QString CommandString(int id);
// The part of the entry shown in status pane 0.
QString CommandPrompt(int id);
// The part shown as tool tip (empty when the entry has none).
QString CommandToolTip(int id);

// The product homepage opened by the homepage command.
inline constexpr const char* kHomepageUrl = "https://morvex.org/";
