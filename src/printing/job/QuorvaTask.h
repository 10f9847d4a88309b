#pragma once
#include "bitmap/DibSection.h"
#include "printing/DevMode.h"
#include "printing/PageSetting.h"
#include "printing/poster/PaperInfo.h"
#include "printing/poster/PosterGeometry.h"
#include "printing/job/PrintJob.h"
#include "printing/PrintSetting.h"
#include "printing/job/PrintTask.h"
#include "printing/devices/Printers.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// The print task: holds the printer selection for the whole run (user-
// interface thread only) and puts one job's capture on paper as a poster
// (Execute, on the print worker, which reads only the job it is given). What
// the worker leaves (error record, geometry of the last job) is read after it
// has been joined.
class CQuorvaTask : public CPrintTask<CQuorvaTask> {
public:
    // Opens the default printer with its default settings.
    CQuorvaTask();
    // Opens `printer` instead; when it cannot be opened, Print names it.
    explicit CQuorvaTask(const std::string& printer);

    using Job = CPrintJob;

    // Printer selection (user-interface thread). A job that is running keeps
    // the printer and settings it was made with.
    std::optional<CDevMode> CopyDevMode() const { return m_devMode; }
    std::optional<CDevNames> MakeDevNames() const;
    void ReplaceDevMode(const CDevMode& devMode) { m_devMode = devMode; }
    // Opens the named printer; with no settings yet, or settings of another
    // printer, it starts from that printer's defaults. A printer that cannot
    // be opened leaves the selection as it was and answers false.
    bool ReopenPrinter(const CDevNames& devNames);
    const CPrinterPtr& Printer() const { return m_printer; }
    // The printer last asked for when it could not be opened, else empty.
    const std::string& UnavailablePrinter() const { return m_unavailablePrinter; }
    // Opens that printer again: it may have come back since.
    void RetryUnavailablePrinter();
    bool PrintsToFile() const { return m_printer && m_printer->IsPdf(); }

    // The device of `job`, on its printer and settings; none when it has no
    // printer or settings.
    std::unique_ptr<CPageDevice> CreatePrinterDC(const CPrintJob& job) const;
    // The sheets a bitmap would take on the current printer, with the glue
    // overlap of `setting` (PosterPageCount gives the print dialog's count).
    // Raises 58974 naming a printer that could not be opened, 58975 without
    // a printer, 58978-58982 when the settings give no paper size.
    CPageGrid CalcPagesForPrinter(const CPageSetting& setting, const CSize& bitmap) const;

    // The job to hand the worker: `job` with the printer and settings
    // selected now.
    CPrintJobPtr MakeJob(CPrintJob job) const;

    // Steps of Execute, on the worker.
    void BeginPrint(const CPrintJob& job, CPageDevice& dc);
    void PrintPage(const CPrintJob& job, int32_t page, CPageDevice& dc);

    // Tests put a recording device in place of the printer's (set before a
    // job starts).
    using DeviceFactory = std::function<std::unique_ptr<CPageDevice>(const CDevMode& devMode)>;
    void SetDeviceFactory(DeviceFactory factory) { m_deviceFactory = std::move(factory); }

    const CPaperInfo& PaperInfo() const { return m_paperInfo; }
    CPageGrid Grid() const { return {m_papers, m_tile}; }
    CPosterGrid Poster() const { return {Grid(), m_step}; }
    int32_t TotalPages() const { return m_totalPages; }

private:
    CPrinterPtr m_printer;
    std::string m_unavailablePrinter;
    std::optional<CDevMode> m_devMode;
    DeviceFactory m_deviceFactory;

    // The geometry of the last job, written by the worker.
    CPaperInfo m_paperInfo;
    CSize m_tile;
    CSize m_step;
    CSize m_papers;
};
