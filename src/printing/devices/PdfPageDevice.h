#pragma once
#include "printing/devices/PageDevice.h"
#include "printing/devices/PdfPageGroupFilter.h"
#include "printing/devices/PdfSink.h"

#include <memory>
#include <vector>

#include <cairo.h>

// A printer device that makes a PDF document with cairo and passes it into a
// sink (a CUPS job or a file) when it is complete, without page groups. Pages are the whole
// paper; drawing coordinates are dots from the hardware printable origin,
// as on a printer. Each tile is embedded once, losslessly, at the bitmap's
// own resolution, and the page scales it.
class CPdfPageDevice : public CPageDevice {
public:
    // `paperWidth` x `paperHeight` in hundredths of a millimetre, turned.
    CPdfPageDevice(const CDeviceMetrics& metrics, int32_t paperWidth, int32_t paperHeight,
                   std::unique_ptr<CPdfSink> sink);
    ~CPdfPageDevice() override;

    CDeviceMetrics GetDeviceCaps() const override { return m_metrics; }
    int StartDoc(const std::string& docName, SysErr& err) override;
    int StartPage(SysErr& err) override;
    int EndPage() override;
    int EndDoc(SysErr& err) override;
    int AbortDoc() override;
    bool StretchDib(const CDib& dib, const CRect& dest, const CRect& src) override;
    bool Paint(const Painter& draw) override;

    size_t PageGroupsRemoved() const { return m_filter.GroupsRemoved(); }

private:
    // Runs on the thread that draws; cairo calls it as the document is made.
    static cairo_status_t WriteStream(void* closure, const unsigned char* data, unsigned int length);
    bool Failed(SysErr& err) const;
    void ReleasePageTiles();
    void DestroySurface();

    CDeviceMetrics m_metrics;
    double m_pageWidthPt, m_pageHeightPt;
    std::unique_ptr<CPdfSink> m_sink;
    CPdfPageGroupFilter m_filter;
    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_cr = nullptr;
    std::vector<cairo_surface_t*> m_pageTiles;
    bool m_writeFailed = false;
    bool m_discard = false;
};
