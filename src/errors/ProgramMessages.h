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
