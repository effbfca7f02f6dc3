#pragma once

// Command identifiers: the program's own, and the standard file, edit, view, window and
// help commands with the numbers the menus and keys use.
enum CommandId : int {
    ID_ACTUAL_TIME = 32771,
    ID_ADD_QSO = 32772,
    ID_CLEAR_FORM = 32777,
    ID_CHANGE_QSO = 32780,
    ID_LOOKUP_QSOS = 32781,
    ID_DELETE_QSO = 32782,
    ID_SET_RST = 32783,
    ID_REBUILD_DXCC = 32786,
    ID_LATEST_QSOS = 32787,
    ID_QSO_QSL_CARDS = 32793,
    ID_IMPORT_ADIF = 32794,
    ID_EXPORT_ADIF = 32795,
    ID_SETUP = 32796,
    ID_DXCC_REPORT = 32803,
    ID_CQZONE_REPORT = 32804,
    ID_QSL_RCVD_YES = 32814,
    ID_QSL_RCVD_NO = 32815,
    ID_GET_TRX_FREQ = 32821,
    // The confirmation services.
    ID_LOTW_DOWNLOAD = 33000,
    ID_LOTW_UPLOAD = 33001,
    ID_EQSL_DOWNLOAD = 33002,
    ID_EQSL_UPLOAD = 33003,
    ID_CLUBLOG_UPLOAD = 33004,
    ID_UNMATCHED_QSLS = 33005,
    // The DX cluster: its window and the window's own commands.
    ID_DX_CLUSTER = 33020,
    ID_CLUSTER_CONNECT = 33021,
    ID_CLUSTER_DISCONNECT = 33022,
    ID_CLUSTER_CLEAR = 33023,

    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616, // the recent files follow: 57617, 57618, 57619
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    // Close of a document window's own window menu, Ctrl+F4 (61536, SC_CLOSE).
    ID_WINDOW_CLOSE = 61536,
};

constexpr int kRecentFileCount = 4;
