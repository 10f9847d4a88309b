#pragma once

// The program's exit statuses. A window closed normally ends with 1, as it
// always has; a batch run (--save, --print) ends with 0 when its file or job
// is complete, or with the status of the step that failed.
enum ExitStatus : int {
    kExitDone = 0,
    kExitNoStart = 1,      // no display, or start-up failed
    kExitUsage = 2,        // the command line is wrong; nothing was done
    kExitLoad = 3,         // the page could not be loaded
    kExitCapture = 4,      // the page could not be captured
    kExitWrite = 5,        // the image file could not be written
    kExitPrint = 6,        // the poster could not be printed
};
