#include "printing/QuorvaTask.h"

#include "printing/TileGeometry.h"

CQuorvaTask::CQuorvaTask()
{
    ReopenPrinter(CDevNames{DefaultPrinterName()});
}

std::optional<CDevNames> CQuorvaTask::MakeDevNames() const
{
    if (!m_printer)
        return std::nullopt;
    return CDevNames{m_printer->Name()};
}

void CQuorvaTask::ReopenPrinter(const CDevNames& devNames)
{
    m_printer = CPrinter::Open(devNames.device);
    if (m_printer && (!m_devMode || m_devMode->deviceName != m_printer->Name()))
        m_devMode = m_printer->DefaultDevMode();
}

std::unique_ptr<CPageDevice> CQuorvaTask::CreatePrinterDC() const
{
    if (!m_jobDevMode)
        return nullptr;
    if (m_deviceFactory)
        return m_deviceFactory(*m_jobDevMode);
    if (!m_jobPrinter)
        return nullptr;
    return m_jobPrinter->CreateDevice(*m_jobDevMode, m_outputFile);
}

CPageGrid CQuorvaTask::CalcPagesForPrinter(const CPageSetting& setting, const CSize& bitmap) const
{
    if (!m_devMode || (!m_printer && !m_deviceFactory))
        throw my::CException(58975);
    CPaperInfo paper;
    paper.SetDevMode(*m_devMode);
    if (m_deviceFactory) {
        if (auto dc = m_deviceFactory(*m_devMode))
            paper.SetDeviceCaps(dc->GetDeviceCaps());
    } else {
        paper.SetDeviceCaps(m_printer->Metrics(*m_devMode));
    }
    paper.margin = setting.margin;
    return setting.CalcPages(paper, bitmap.cx, bitmap.cy);
}

void CQuorvaTask::SetJob(const CPrintJob& job)
{
    m_docName = job.docName;
    m_dib = job.dib;
    const CSimplePrintSetting& ps = job.printSetting;
    m_selType = (ps.flags & USE_PAGENUMS) ? 1 : 0;
    m_pageFrom = ps.pageFrom;
    m_pageTo = ps.pageTo;
    m_copies = ps.copies;
    m_collate = (ps.flags & COLLATE) != 0;
    m_pageSetting = job.pageSetting;
    m_outputFile = job.outputFile;
    m_jobPrinter = m_printer;
    m_jobDevMode = m_devMode;
}

void CQuorvaTask::BeginPrint(CPageDevice& dc)
{
    if (!m_dib)
        throw my::CException(58721, {"CQuorvaTask::BeginPrint\nm_dib is NULL"});
    m_paperInfo = CPaperInfo{};
    if (m_jobDevMode)
        m_paperInfo.SetDevMode(*m_jobDevMode);
    m_paperInfo.SetDeviceCaps(dc.GetDeviceCaps());
    m_paperInfo.margin = m_pageSetting.margin;

    const CPageGrid grid = m_pageSetting.CalcPages(m_paperInfo, m_dib->Width(), m_dib->Height());
    m_papers = grid.papers;
    m_tile = grid.tile;
    if (m_papers.cx <= 0 || m_papers.cy <= 0)
        throw my::CException(58721, {"CQuorvaTask::BeginPrint\nm_papers is negative"});
    m_totalPages = grid.TotalPages();
}

void CQuorvaTask::PrintPage(int32_t page, CPageDevice& dc)
{
    const CTileMapping tile = MapPageToTile(page, Grid(), m_paperInfo, {m_dib->Width(), m_dib->Height()});
    if (m_dib->Width() == 0 || m_dib->Height() == 0)
        return;
    dc.StretchDib(*m_dib, tile.dest, tile.source);
}
