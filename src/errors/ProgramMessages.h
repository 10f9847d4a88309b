#pragma once
#include <cstdint>

// String ids of texts the program adds to the inherited string table: reasons
// appended to a message, notes, and the labels of its own dialogs.
enum ProgramStringId : uint32_t {
    kMsgBrowserTooLarge = 61001,     // reason after 190; insert: the largest side
    kMsgElementMissing = 61002,      // reason of 59155 and 59156
    kMsgUrlsNotSaved = 61003,        // insert: the URLs left out
    kMsgDownloadRefused = 61004,     // status bar; insert: the address
    kMsgNoRoomOnPaper = 61005,       // the margins leave nothing of the paper to print on
    kMsgNoWebSandbox = 61060,        // status bar and standard error; insert: the reason
    kMsgPagePrintRefused = 61061,    // status bar: the page asked to be printed
    kMsgCertificateRefused = 61062,  // reason after 185: the site's TLS certificate was refused
    kMsgSnapshotTimedOut = 61063,    // reason after 190: WebKit did not render the page in time
    kMsgSnapshotNoImage = 61064,     // reason after 190: WebKit gave no image of the page
    kMsgSnapshotTooSmall = 61065,    // reason after 190: the image does not cover the kept area
    kMsgCopiesRange = 61008,         // inserts: the fewest and most copies, the text typed
    kMsgPrinterNotOpened = 61009,    // insert: the printer chosen in page setup

    kTextSizeBarTimes = 61010,  // size bar labels
    kTextSizeBarLeft = 61011,
    kTextSizeBarRight = 61012,
    kTextSizeBarTop = 61013,
    kTextSizeBarBottom = 61014,

    kTextOpenUrlTitle = 61020,  // open-URL dialog
    kTextOpenUrlOpen = 61021,
    kTextCancel = 61022,
    kTextSave = 61023,  // the PDF destination's file dialog

    kTextYes = 61040,  // message box buttons
    kTextNo = 61041,
};

// String ids of the command line's texts and of batch runs' messages.
enum CommandLineStringId : uint32_t {
    IDS_CL_PARAMETER = 61700,
    IDS_CL_SUMMARY = 61701,
    IDS_CL_DESCRIPTION = 61702,
    IDS_CL_OPTION_FIRST = 61710,  // description, then argument name, per option
    IDS_CL_USAGE_ERROR = 61740,
    IDS_CL_BAD_VALUE = 61741,
    IDS_CL_CONFLICT = 61742,
    IDS_CL_NEEDS = 61743,
    IDS_CL_NO_URL = 61744,
    IDS_CL_ONE_URL = 61745,
    IDS_CL_PDF_NEEDS_OUTPUT = 61747,
    IDS_CL_UNKNOWN_EXTENSION = 61754,
    IDS_CL_OUT_OF_RANGE = 61791,
    IDS_CL_DELAY = 61760,  // then --wait-for at 61762 and --scale at 61764, each with its argument name
    IDS_BATCH_GAVE_UP = 61748,                 // insert: the seconds of --timeout
    IDS_BATCH_NO_DISPLAY = 61749,              // --save and --print without a display
    IDS_BATCH_NO_SUCH_PAPER = 61750,           // inserts: the printer, the paper
    IDS_BATCH_TOO_MANY_SHEETS = 61751,         // inserts: the sheets, the most in one run
    IDS_BATCH_WAIT_FOR_TIMED_OUT = 61766,      // inserts: the expression, the seconds
    IDS_BATCH_WAIT_FOR_FAILED = 61767,         // inserts: the expression, the page's error
    IDS_STANDARD_OUTPUT = 61790,               // "standard output", as messages name it
};
