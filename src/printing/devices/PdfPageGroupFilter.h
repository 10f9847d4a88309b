#pragma once
#include "errors/Exception.h"

#include <cstddef>
#include <cstdio>
#include <functional>

// Removes the transparency group that cairo writes into every page
// dictionary, on the document's way out.
//
// CUPS turns PDF into PostScript for PostScript queues (pdftops, Ghostscript
// ps2write); a page that carries a transparency group is flattened there into
// one page-sized raster at the queue's resolution, which is slow and loses
// the images as they were. The poster pages hold only opaque images, so the
// group changes nothing in how they look.
//
// The document is held in an unnamed temporary file while cairo writes it,
// then read with qpdf, whatever form cairo chose (plain objects, or objects
// packed into compressed object streams), and written out again with the
// page groups gone. Only page dictionaries are touched: the forms of soft
// masks carry groups too, which decide how the mask is computed.
class CPdfPageGroupFilter {
public:
    using Output = std::function<bool(const char* data, size_t length)>;
    explicit CPdfPageGroupFilter(Output output) : m_output(std::move(output)) {}
    ~CPdfPageGroupFilter();
    CPdfPageGroupFilter(const CPdfPageGroupFilter&) = delete;
    CPdfPageGroupFilter& operator=(const CPdfPageGroupFilter&) = delete;

    // Holds back part of the document. False when it cannot be kept (Error).
    bool Write(const char* data, size_t length);
    // Rewrites the whole document into the output. False when the document
    // cannot be read back (Error) or the output refused it.
    bool Flush();
    // Forgets what was held; nothing more is written.
    void Discard();

    size_t GroupsRemoved() const { return m_removed; }
    // Why Write or Flush failed, when the output did not refuse the data.
    const SysErr& Error() const { return m_error; }

private:
    bool Fail(SysErr err);

    Output m_output;
    FILE* m_held = nullptr;
    size_t m_removed = 0;
    SysErr m_error;
};
