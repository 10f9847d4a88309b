#include "printing/devices/PdfPageDevice.h"

#include "bitmap/Dib.h"
#include "bitmap/DibCairo.h"
#include "printing/poster/TilePainter.h"

#include <cairo-pdf.h>
#include <cairo.h>


namespace {

constexpr double kPointsPerInch = 72.0;

}  // namespace

CPdfPageDevice::CPdfPageDevice(const CDeviceMetrics& metrics, int32_t paperWidth, int32_t paperHeight,
                               std::unique_ptr<CPdfSink> sink)
    : m_metrics(metrics),
      m_pageWidthPt(paperWidth * kPointsPerInch / 2540.0),
      m_pageHeightPt(paperHeight * kPointsPerInch / 2540.0),
      m_sink(std::move(sink)),
      m_filter([this](const char* data, size_t length) {
          if (m_discard)
              return true;
          if (!m_sink->Write(data, length)) {
              m_writeFailed = true;
              return false;
          }
          return true;
      })
{
}

CPdfPageDevice::~CPdfPageDevice()
{
    if (m_surface)
        AbortDoc();
    ReleasePageTiles();
}

cairo_status_t CPdfPageDevice::WriteStream(void* closure, const unsigned char* data, unsigned int length)
{
    auto* self = static_cast<CPdfPageDevice*>(closure);
    if (self->m_discard)
        return CAIRO_STATUS_SUCCESS;
    return self->m_filter.Write(reinterpret_cast<const char*>(data), length) ? CAIRO_STATUS_SUCCESS
                                                                             : CAIRO_STATUS_WRITE_ERROR;
}

int CPdfPageDevice::StartDoc(const std::string& docName, SysErr& err)
{
    if (m_surface || m_pageWidthPt <= 0 || m_pageHeightPt <= 0) {
        err = SysErr::FromErrno(EINVAL);
        return 0;
    }
    const int job = m_sink->Open(docName, err);
    if (job <= 0)
        return job;
    m_surface = cairo_pdf_surface_create_for_stream(&CPdfPageDevice::WriteStream, this, m_pageWidthPt,
                                                    m_pageHeightPt);
    cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_TITLE, docName.c_str());
    cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_CREATOR, "Quorvane");
    m_cr = cairo_create(m_surface);
    if (Failed(err)) {
        AbortDoc();
        return 0;
    }
    return job;
}

bool CPdfPageDevice::Failed(SysErr& err) const
{
    if (m_writeFailed) {
        err = m_sink->WriteError();
        return true;
    }
    if (m_filter.Error().code != 0) {
        err = m_filter.Error();
        return true;
    }
    cairo_status_t status = m_surface ? cairo_surface_status(m_surface) : CAIRO_STATUS_NULL_POINTER;
    if (status == CAIRO_STATUS_SUCCESS && m_cr)
        status = cairo_status(m_cr);
    if (status != CAIRO_STATUS_SUCCESS) {
        err = SysErr{static_cast<int32_t>(status), cairo_status_to_string(status)};
        return true;
    }
    return false;
}

int CPdfPageDevice::StartPage(SysErr& err)
{
    if (!m_cr) {
        err = SysErr::FromErrno(EBADF);
        return 0;
    }
    return Failed(err) ? 0 : 1;
}

int CPdfPageDevice::EndPage()
{
    if (!m_cr)
        return 0;
    // The page, with its tiles, is written out here; their pixels are no
    // longer needed afterwards.
    cairo_show_page(m_cr);
    ReleasePageTiles();
    SysErr err;
    return Failed(err) ? 0 : 1;
}

int CPdfPageDevice::EndDoc(SysErr& err)
{
    if (!m_cr) {
        err = SysErr::FromErrno(EBADF);
        return 0;
    }
    cairo_surface_finish(m_surface);
    const bool failed = Failed(err) || (!m_filter.Flush() && Failed(err));
    DestroySurface();
    if (failed) {
        m_sink->Cancel();
        return 0;
    }
    return m_sink->Finish(err);
}

int CPdfPageDevice::AbortDoc()
{
    // Whatever cairo still writes while it is torn down goes nowhere.
    m_discard = true;
    DestroySurface();
    m_filter.Discard();
    ReleasePageTiles();
    m_sink->Cancel();
    return 1;
}

void CPdfPageDevice::DestroySurface()
{
    if (m_cr) {
        cairo_destroy(m_cr);
        m_cr = nullptr;
    }
    if (m_surface) {
        cairo_surface_destroy(m_surface);
        m_surface = nullptr;
    }
}

void CPdfPageDevice::ReleasePageTiles()
{
    for (cairo_surface_t* tile : m_pageTiles) {
        cairo_surface_finish(tile);
        cairo_surface_destroy(tile);
    }
    m_pageTiles.clear();
}

bool CPdfPageDevice::StretchDib(const CDib& dib, const CRect& dest, const CRect& src)
{
    if (!dib.IsValid())
        return false;
    return Paint([&](cairo_t* cr, const CRect& clip, CairoSurfacePtr* embedded) {
        return PaintTile(cr, dib, src, dest, clip, embedded);
    });
}

bool CPdfPageDevice::Paint(const Painter& draw)
{
    if (!m_cr)
        return false;
    // Drawing coordinates are dots from the hardware printable origin; the
    // printer cannot draw outside its hardware printable area.
    cairo_save(m_cr);
    cairo_scale(m_cr, kPointsPerInch / m_metrics.logPixelsX, kPointsPerInch / m_metrics.logPixelsY);
    cairo_translate(m_cr, m_metrics.physicalOffsetX, m_metrics.physicalOffsetY);
    CairoSurfacePtr embedded;
    const bool drawn = draw(m_cr, {0, 0, m_metrics.horzRes, m_metrics.vertRes}, &embedded);
    cairo_restore(m_cr);
    if (embedded)
        m_pageTiles.push_back(cairo_surface_reference(embedded.get()));
    return drawn;
}
