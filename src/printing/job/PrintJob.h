#pragma once
#include "bitmap/DibSection.h"
#include "printing/DevMode.h"
#include "printing/PageSetting.h"
#include "printing/PrintSetting.h"
#include "printing/devices/Printers.h"

#include <memory>
#include <optional>
#include <string>

// One print job, complete and never changed once made: the main loop builds
// it (CQuorvaTask::MakeJob adds the printer and its settings as chosen at
// that moment) and hands the worker a shared pointer to it, so nothing the
// user changes while the job runs reaches the worker.
struct CPrintJob {
    CDibSectionPtr dib;
    std::string docName;
    // Range (USE_PAGENUMS, from, to), copies and collation.
    CSimplePrintSetting printSetting;
    CPageSetting pageSetting;
    // Where the "PDF" destination writes; unused for CUPS printers.
    std::string outputFile;
    CPrinterPtr printer;
    std::optional<CDevMode> devMode;
};
using CPrintJobPtr = std::shared_ptr<const CPrintJob>;
