#include "printing/poster/PaperInfo.h"

#include "common/MulDiv.h"
#include "common/Saturate.h"
#include "errors/Exception.h"
#include "printing/poster/PaperSize.h"

#include <utility>

void CPaperInfo::SetDevMode(const CDevMode& dm)
{
    if (!(dm.fields & DM_ORIENTATION))
        throw my::CException(58978);
    int32_t width = 0, height = 0;
    if ((dm.fields & DM_PAPERSIZE) && dm.paperSize != 0 && dm.paperSize != DMPAPER_USER) {
        const CSize size = GetStandardPaperSize(dm.paperSize);
        width = size.cx;
        height = size.cy;
    } else {
        if (!(dm.fields & DM_PAPERLENGTH))
            throw my::CException(58979);
        if (!(dm.fields & DM_PAPERWIDTH))
            throw my::CException(58980);
    }
    // An explicit length or width overrides the table.
    if (dm.fields & DM_PAPERLENGTH)
        height = dm.paperLength * 10;
    if (dm.fields & DM_PAPERWIDTH)
        width = dm.paperWidth * 10;
    if (dm.orientation == DMORIENT_LANDSCAPE)
        std::swap(width, height);
    paperWidth = width;
    paperHeight = height;
}

void CPaperInfo::SetDeviceCaps(const CDeviceMetrics& m)
{
    resX = m.logPixelsX;
    resY = m.logPixelsY;
    physicalWidth = m.physicalWidth;
    physicalHeight = m.physicalHeight;
    hardPrintable = {m.physicalOffsetX, m.physicalOffsetY, m.physicalOffsetX + m.horzRes,
                     m.physicalOffsetY + m.vertRes};
}

CRect CPaperInfo::GetPrintableRect() const
{
    // Margins from the settings file may be as large as 32 bits allow.
    const int64_t right = int64_t{paperWidth} - margin.right;
    const int64_t bottom = int64_t{paperHeight} - margin.bottom;
    if (right - margin.left < 1 || bottom - margin.top < 1)
        return {};
    return {MulDiv(margin.left, resX, 2540), MulDiv(margin.top, resY, 2540), MulDiv(Saturate32(right), resX, 2540),
            MulDiv(Saturate32(bottom), resY, 2540)};
}

CPaperInfo MakePaperInfo(const CDevMode& devMode, const CDeviceMetrics& metrics, const CRect& margin)
{
    CPaperInfo paper;
    paper.SetDevMode(devMode);
    paper.SetDeviceCaps(metrics);
    paper.margin = margin;
    return paper;
}
