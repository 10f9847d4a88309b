#pragma once
#include "errors/ErrorRecord.h"
#include "errors/Exception.h"
#include "errors/SimpleErr.h"
#include "printing/PageDevice.h"
#include "printing/PrintProgress.h"
#include "printing/Terminable.h"

#include <algorithm>
#include <memory>
#include <string>

// The job loop of a print task. T supplies CreatePrinterDC, BeginPrint (which
// sets m_totalPages) and PrintPage; they are called directly, not virtually.
// Execute runs on the print worker thread and never lets an exception out:
// the outcome is the error record.
template <class T>
class CPrintTask : public CCanTerminate, public CHasErr<CSimpleErr> {
public:
    void Execute() noexcept;

    // Job parameters: selection type 0 = all pages, 1 = m_pageFrom..m_pageTo.
    int32_t m_selType = 0;
    int32_t m_pageFrom = 1;
    int32_t m_pageTo = 1;
    int32_t m_copies = 1;
    bool m_collate = false;
    std::string m_docName;

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
    void RunDocument(CPageDevice& dc);
    void PrintPages(CPageDevice& dc, int32_t first, int32_t last);
    int32_t SheetsToSend(int32_t first, int32_t last) const;

    CPrintProgress m_progress;
};

template <class T>
void CPrintTask<T>::Execute() noexcept
{
    ClearErr();
    m_progress.Begin(0);
    try {
        std::unique_ptr<CPageDevice> dc = static_cast<T*>(this)->CreatePrinterDC();
        if (!dc)
            throw my::CException(58975);
        RunDocument(*dc);
    } catch (...) {
        SetErr(CurrentErrorRecord());
    }
}

template <class T>
void CPrintTask<T>::RunDocument(CPageDevice& dc)
{
    static_cast<T*>(this)->BeginPrint(dc);
    m_copyPass = m_curPage = m_copyOfPage = 0;

    SysErr sys;
    // A job number of 0 is a failure too: no document was opened.
    const int job = dc.StartDoc(m_docName, sys);
    if (job <= 0)
        throw my::CException(58976, sys);
    try {
        int32_t first = 1, last = m_totalPages;
        if (m_selType == 1) {
            // Pages before the first one do not exist; a reversed range prints ascending.
            first = std::max(1, std::min(m_pageFrom, m_pageTo));
            last = std::max(m_pageFrom, m_pageTo);
        } else if (m_selType != 0) {
            throw my::CException(58721, {"PrintTask<>\nUnknown m_selType: " + std::to_string(m_selType)});
        }
        PrintPages(dc, first, last);
    } catch (...) {
        dc.AbortDoc();
        throw;
    }
    if (dc.EndDoc(sys) <= 0)
        throw my::CException(58983, sys);
}

template <class T>
void CPrintTask<T>::PrintPages(CPageDevice& dc, int32_t first, int32_t last)
{
    const int32_t passes = m_collate ? m_copies : 1;
    const int32_t repeats = m_collate ? 1 : m_copies;
    m_progress.Begin(SheetsToSend(first, last));
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
                static_cast<T*>(this)->PrintPage(m_curPage, dc);
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
int32_t CPrintTask<T>::SheetsToSend(int32_t first, int32_t last) const
{
    const int64_t pages = std::max<int64_t>(0, int64_t{std::min(last, m_totalPages)} - first + 1);
    const int64_t sheets = pages * std::max<int64_t>(0, m_copies);
    return static_cast<int32_t>(std::min<int64_t>(sheets, INT32_MAX));
}
