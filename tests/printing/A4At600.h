#pragma once
// The paper the geometry tests work their numbers on.
#include "printing/poster/PaperInfo.h"

// A4 portrait, 10 mm margins, 600 dpi (printable 4488 x 6544 dots at
// (236, 236)), with a hardware printable area that starts 100 x 120 dots
// from the paper's corner.
inline CPaperInfo A4At600()
{
    CPaperInfo p;
    p.paperWidth = 21000;
    p.paperHeight = 29700;
    p.margin = {1000, 1000, 1000, 1000};
    p.SetDeviceCaps({600, 600, 4960, 7016, 100, 120, 4760, 6776});
    return p;
}
