#pragma once

// Command ids of the menu, accelerators and tool bar.
enum CommandId : int {
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PAGE_SETUP = 57605,
    ID_FILE_PRINT = 57607,
    ID_APP_EXIT = 57665,
    ID_EDIT_COPY = 57634,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_DLGBAR = 171,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_REFRESH = 58395,
    ID_APP_ABOUT = 57664,
    ID_HELP_HOMEPAGE = 58387,
    ID_HELP_USAGE = 58388,
    ID_LINK_FIRST = 173,  // recommended sites 173-176
    ID_LINK_LAST = 176,
};

// Commands the frame runs itself: at creation, at close, when a print job ends.
enum InternalCommandId : int { kCommandInit = -1, kCommandQuit = -2, kCommandEndPrint = -3 };

// String ids used by the shell.
enum StringId : int {
    IDS_COMPANY_NAME = 130,
    IDS_PRODUCT_NAME = 131,
    IDS_HOMEPAGE_URL = 134,
    IDS_USAGE_URL = 135,
    IDS_DISPLAY_NAME = 140,
    IDS_LINKS_MENU = 172,
    IDS_LINK_TEXT_FIRST = 177,  // 177-180: texts of the recommended sites
    IDS_LINK_URL_FIRST = 181,   // 181-184: their URLs
    IDS_READY = 57345,
    IDS_LOADING = 58468,
    IDS_PRINT_PROGRESS = 59510,         // "印刷中: %s / %s ページ"
    IDS_WAITING_FOR_MAP = 59511,
    IDS_CAPTURED_WHILE_LOADING = 59512,
    IDS_STOP_PRINTING = 59513,          // tool tip of the status bar's stop button
    IDS_CAPTURED_WHILE_ANIMATING = 59514,
};
