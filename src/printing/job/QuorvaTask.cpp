#include "printing/job/QuorvaTask.h"

#include "printing/poster/AssemblyAids.h"
#include "printing/poster/PosterGeometry.h"

CQuorvaTask::CQuorvaTask() : CQuorvaTask(DefaultPrinterName()) {}

CQuorvaTask::CQuorvaTask(const std::string& printer)
{
    ReopenPrinter(CDevNames{printer});
}

std::optional<CDevNames> CQuorvaTask::MakeDevNames() const
{
    if (!m_printer)
        return std::nullopt;
    return CDevNames{m_printer->Name()};
}

bool CQuorvaTask::ReopenPrinter(const CDevNames& devNames)
{
    CPrinterPtr printer = CPrinter::Open(devNames.device);
    if (!printer) {
        // With no printer left open, Print names the one that failed.
        if (!m_printer)
            m_unavailablePrinter = devNames.device;
        return false;
    }
    m_printer = std::move(printer);
    m_unavailablePrinter.clear();
    if (!m_devMode || m_devMode->deviceName != m_printer->Name())
        m_devMode = m_printer->DefaultDevMode();
    return true;
}

std::unique_ptr<CPageDevice> CQuorvaTask::CreatePrinterDC(const CPrintJob& job) const
{
    if (!job.devMode)
        return nullptr;
    if (m_deviceFactory)
        return m_deviceFactory(*job.devMode);
    if (!job.printer)
        return nullptr;
    return job.printer->CreateDevice(*job.devMode, job.outputFile, [this] { return IsTerminated(); });
}

void CQuorvaTask::RetryUnavailablePrinter()
{
    if (!m_printer && !m_unavailablePrinter.empty())
        ReopenPrinter(CDevNames{m_unavailablePrinter});
}

CPageGrid CQuorvaTask::CalcPagesForPrinter(const CPageSetting& setting, const CSize& bitmap) const
{
    if (!m_printer && !m_deviceFactory && !m_unavailablePrinter.empty())
        throw my::CException(58974, {m_unavailablePrinter});
    if (!m_devMode || (!m_printer && !m_deviceFactory))
        throw my::CException(58975);
    CDeviceMetrics metrics;
    if (m_deviceFactory) {
        if (auto dc = m_deviceFactory(*m_devMode))
            metrics = dc->GetDeviceCaps();
    } else {
        metrics = m_printer->Metrics(*m_devMode);
    }
    const CPaperInfo paper = MakePaperInfo(*m_devMode, metrics, setting.margin);
    return CalcPosterPages(setting, paper, bitmap, setting.assembly.overlap).grid;
}

CPrintJobPtr CQuorvaTask::MakeJob(CPrintJob job) const
{
    job.printer = m_printer;
    job.devMode = m_devMode;
    return std::make_shared<const CPrintJob>(std::move(job));
}

void CQuorvaTask::BeginPrint(const CPrintJob& job, CPageDevice& dc)
{
    if (!job.dib)
        throw my::CException(58721, {"CQuorvaTask::BeginPrint\nm_dib is NULL"});
    // CreatePrinterDC makes no device without printer settings.
    m_paperInfo = MakePaperInfo(*job.devMode, dc.GetDeviceCaps(), job.pageSetting.margin);

    const CPageSetting& setting = job.pageSetting;
    const CPosterGrid poster =
        CalcPosterPages(setting, m_paperInfo, {job.dib->Width(), job.dib->Height()}, setting.assembly.overlap);
    m_papers = poster.grid.papers;
    m_tile = poster.grid.tile;
    m_step = poster.step;
    if (m_papers.cx <= 0 || m_papers.cy <= 0)
        throw my::CException(58721, {"CQuorvaTask::BeginPrint\nm_papers is negative"});
    m_totalPages = PosterPageCount(poster.grid, setting.assembly);
}

// With the assembly sheet chosen it is page 1 and sheet n is page n + 1.
void CQuorvaTask::PrintPage(const CPrintJob& job, int32_t page, CPageDevice& dc)
{
    const CAssemblySetting& aids = job.pageSetting.assembly;
    const CDibSection& dib = *job.dib;
    const CSize bitmap{dib.Width(), dib.Height()};
    if (bitmap.cx == 0 || bitmap.cy == 0)
        return;
    // A sheet that cannot be drawn, wholly or in part, is not printed: the job
    // fails and is aborted rather than sending a blank or partial sheet.
    if (aids.assemblySheet && page == 1) {
        if (!dc.Paint([&](cairo_t* cr, const CRect& clip, CairoSurfacePtr* embedded) {
                return PaintAssemblySheet(cr, dib, Poster(), m_paperInfo, clip, embedded);
            }))
            throw my::CException(58945);
        return;
    }
    const CPosterSheet sheet = MapPosterSheet(aids.assemblySheet ? page - 1 : page, Poster(), m_paperInfo, bitmap);
    if (!dc.StretchDib(dib, sheet.tile.dest, sheet.tile.source))
        throw my::CException(58945);
    if ((aids.cutGuides || aids.sheetLabels) && !dc.Paint([&](cairo_t* cr, const CRect& clip, CairoSurfacePtr*) {
            return PaintSheetAids(cr, sheet, Poster(), m_paperInfo, aids, clip);
        }))
        throw my::CException(58945);
}
