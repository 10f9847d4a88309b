#include "RecordingPageDevice.h"

#include <cairo.h>
#include <sched.h>

int CRecordingPageDevice::StartDoc(const std::string& docName, SysErr& err)
{
    m_log->calls.push_back("StartDoc");
    m_log->docName = docName;
    ++m_log->startDocs;
    m_log->schedPolicy = sched_getscheduler(0);
    if (onStartDoc)
        onStartDoc();
    if (startDocResult <= 0)
        err = SysErr{13, "document refused"};
    return startDocResult;
}

bool CRecordingPageDevice::Paint(const Painter& draw)
{
    m_log->calls.push_back("Paint");
    const CRect clip{0, 0, metrics.horzRes, metrics.vertRes};
    cairo_rectangle_t extents{0, 0, double(clip.right), double(clip.bottom)};
    cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    cairo_t* cr = cairo_create(surface);
    CairoSurfacePtr embedded;
    const bool drawn = draw(cr, clip, &embedded) && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return drawn;
}
