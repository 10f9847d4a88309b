#pragma once
// A page device that records what a print job does to it, for the tests of
// the job loop. The log is shared so it outlives the device the task deletes.
#include "bitmap/Dib.h"
#include "printing/devices/PageDevice.h"
#include "printing/devices/Printers.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct CPageDeviceLog {
    std::vector<std::string> calls;   // "StartDoc", "StartPage", "Draw", "Paint", "EndPage", "EndDoc", "AbortDoc"
    std::vector<CRect> sources;       // of each Draw
    std::vector<CRect> dests;
    std::string docName;
    int startDocs = 0;
    int schedPolicy = -1;             // of the thread that started the document

    int Count(const std::string& call) const
    {
        int n = 0;
        for (const auto& c : calls)
            n += c == call;
        return n;
    }
};

class CRecordingPageDevice : public CPageDevice {
public:
    explicit CRecordingPageDevice(std::shared_ptr<CPageDeviceLog> log) : m_log(std::move(log)) {}

    // A4 at 600 dpi with 5 mm hardware margins.
    CDeviceMetrics metrics = MakeDeviceMetrics(21000, 29700, {500, 500, 500, 500}, 600);
    int startDocResult = 7;
    int startPageResult = 1;
    bool drawResult = true;
    std::function<void()> onStartDoc;
    std::function<void(int drawIndex)> onDraw;  // from 1

    CDeviceMetrics GetDeviceCaps() const override { return metrics; }
    int StartDoc(const std::string& docName, SysErr& err) override;
    int StartPage(SysErr& err) override
    {
        m_log->calls.push_back("StartPage");
        if (startPageResult <= 0)
            err = SysErr{5, "page refused"};
        return startPageResult;
    }
    int EndPage() override
    {
        m_log->calls.push_back("EndPage");
        return 1;
    }
    int EndDoc(SysErr&) override
    {
        m_log->calls.push_back("EndDoc");
        return 1;
    }
    int AbortDoc() override
    {
        m_log->calls.push_back("AbortDoc");
        return 1;
    }
    bool StretchDib(const CDib&, const CRect& dest, const CRect& src) override
    {
        m_log->calls.push_back("Draw");
        m_log->sources.push_back(src);
        m_log->dests.push_back(dest);
        if (onDraw)
            onDraw(static_cast<int>(m_log->sources.size()));
        return drawResult;
    }

    // Runs the painter on a recording surface of the hardware printable area.
    bool Paint(const Painter& draw) override;

private:
    std::shared_ptr<CPageDeviceLog> m_log;
};
