#pragma once
#include "errors/ErrorRecord.h"
#include "errors/Exception.h"
#include "errors/SimpleErr.h"
#include "printing/devices/PageDevice.h"
#include "printing/job/PrintJob.h"
#include "printing/job/PrintProgress.h"
#include "common/Terminable.h"

#include <algorithm>
#include <memory>
#include <string>

// The job loop of a print task. T supplies CreatePrinterDC, BeginPrint (which
// sets m_totalPages) and PrintPage; they are called directly, not virtually.
// Execute runs on the print worker thread and never lets an exception out:
// the outcome is the error record. The job is read, never changed; the
// counters, the progress and the error record are the run's own.
template <class T>
class CPrintTask : public CCanTerminate, public CHasErr<CSimpleErr> {
public:
    // Prints `job`; lets go of it at the end, so that its capture (hundreds of
    // megabytes, perhaps) is freed as soon as the job is over.
    void Execute(CPrintJobPtr job) noexcept;

    // Read by the user-interface thread while the job runs.
    const CPrintProgress& Progress() const { return m_progress; }
    // Before a job starts, so that nothing of the last one shows.
    void ResetProgress() { m_progress.Begin(0); }

protected:
    // Counters of the running job.
    int32_t m_copyPass = 0;
    int32_t m_curPage = 0;
    int32_t m_copyOfPage = 0;
    int32_t m_totalPages = 0;

private:
    void RunDocument(const CPrintJob& job, CPageDevice& dc);
    void PrintPages(const CPrintJob& job, CPageDevice& dc, int32_t first, int32_t last);
    int32_t SheetsToSend(const CSimplePrintSetting& setting, int32_t first, int32_t last) const;

    CPrintProgress m_progress;
};

template <class T>
void CPrintTask<T>::Execute(CPrintJobPtr job) noexcept
{
    ClearErr();
    m_progress.Begin(0);
    try {
        if (!job)
            throw my::CException(58721, {"PrintTask<>\nno job"});
        std::unique_ptr<CPageDevice> dc = static_cast<T*>(this)->CreatePrinterDC(*job);
        if (!dc)
            throw my::CException(58975);
        RunDocument(*job, *dc);
    } catch (...) {
        SetErr(CurrentErrorRecord());
    }
}

template <class T>
void CPrintTask<T>::RunDocument(const CPrintJob& job, CPageDevice& dc)
{
    static_cast<T*>(this)->BeginPrint(job, dc);
    m_copyPass = m_curPage = m_copyOfPage = 0;

    SysErr sys;
    // A job number of 0 is a failure too: no document was opened.
    const int number = dc.StartDoc(job.docName, sys);
    if (number <= 0)
        throw my::CException(58976, sys);
    try {
        const CSimplePrintSetting& setting = job.printSetting;
        int32_t first = 1, last = m_totalPages;
        if (setting.flags & USE_PAGENUMS) {
            // Pages before the first one do not exist; a reversed range prints ascending.
            first = std::max(1, std::min(setting.pageFrom, setting.pageTo));
            last = std::max(setting.pageFrom, setting.pageTo);
        }
        PrintPages(job, dc, first, last);
    } catch (...) {
        dc.AbortDoc();
        throw;
    }
    if (dc.EndDoc(sys) <= 0)
        throw my::CException(58983, sys);
}

template <class T>
void CPrintTask<T>::PrintPages(const CPrintJob& job, CPageDevice& dc, int32_t first, int32_t last)
{
    const CSimplePrintSetting& setting = job.printSetting;
    const bool collate = (setting.flags & COLLATE) != 0;
    const int32_t passes = collate ? setting.copies : 1;
    const int32_t repeats = collate ? 1 : setting.copies;
    m_progress.Begin(SheetsToSend(setting, first, last));
    int32_t sheet = 0;
    for (m_copyPass = 0; m_copyPass < passes; ++m_copyPass) {
        for (m_curPage = first; m_curPage <= last; ++m_curPage) {
            if (m_curPage > m_totalPages)
                break;
            for (m_copyOfPage = 0; m_copyOfPage < repeats; ++m_copyOfPage) {
                if (IsTerminated())
                    throw my::CException(58725);
                SysErr sys;
                m_progress.SheetStarted(++sheet);
                if (dc.StartPage(sys) <= 0)
                    throw my::CException(58977, sys);
                static_cast<T*>(this)->PrintPage(job, m_curPage, dc);
                dc.EndPage();
                m_progress.SheetSent(sheet);
            }
            if (m_curPage == INT32_MAX)
                break;
        }
    }
}

// The sheets the page loop will start: the pages of the range that exist,
// times the copies.
template <class T>
int32_t CPrintTask<T>::SheetsToSend(const CSimplePrintSetting& setting, int32_t first, int32_t last) const
{
    const int64_t pages = std::max<int64_t>(0, int64_t{std::min(last, m_totalPages)} - first + 1);
    const int64_t sheets = pages * std::max<int64_t>(0, setting.copies);
    return static_cast<int32_t>(std::min<int64_t>(sheets, INT32_MAX));
}
