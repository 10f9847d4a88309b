#pragma once
#include "common/BackgroundWork.h"
#include "bitmap/DibCairo.h"
#include "bitmap/DibSection.h"
#include "controls/ControlGlue.h"
#include "printing/PageSetting.h"
#include "printing/poster/PaperInfo.h"
#include "printing/poster/PreviewLayout.h"

#include <glibmm/dispatcher.h>
#include <gtkmm/drawingarea.h>

#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

// The page setup dialog's preview: the sheets of the poster, white on the
// dialog's background, each carrying its tile of the last capture inside
// the margins, cut where the printer cannot print. Tiles are drawn with the
// print job's own tile painter. The sheets are painted once per change
// (capture, paper, page setting, size) and kept; a plain redraw only copies
// them. A capture much larger than the preview is first made smaller, on a
// thread of its own, so that painting never holds up the dialog.
class CFitImageToPagePreview {
public:
    CFitImageToPagePreview() = default;
    ~CFitImageToPagePreview();
    CFitImageToPagePreview(const CFitImageToPagePreview&) = delete;
    CFitImageToPagePreview& operator=(const CFitImageToPagePreview&) = delete;

    void Attach(Gtk::DrawingArea& area);

    // Takes the capture unless it has the same size and the very same bits
    // as the one shown; true when taken (the preview is then laid out again).
    // A capture not taken is let go of here (the caller's copy aside).
    bool SetBitmap(CDibSectionPtr bitmap);
    // Takes a capture known to differ from the one shown, without comparing.
    void ShowBitmap(CDibSectionPtr bitmap);
    // The same size and the very same bits; any thread. A stop asked for
    // ends the compare early with false.
    static bool SameBits(const CDibSection& a, const CDibSection& b, std::stop_token stop = {});
    // Lets go of a large capture on a thread of its own: returning its
    // memory to the system takes a noticeable time.
    static void ReleaseLater(CDibSectionPtr bitmap);
    // Each answers true when the value differed and was taken; the caller
    // then lays the preview out again.
    bool SetPaperInfo(const CPaperInfo& paper);
    bool SetPageSetting(const CFitImageToPageSetting& setting);
    bool SetAssembly(const CAssemblySetting& assembly);
    void Relayout();
    void Invalidate();

    const CDibSectionPtr& Bitmap() const { return m_bitmap; }
    const CPaperInfo& PaperInfo() const { return m_paper; }
    const CFitImageToPageSetting& PageSetting() const { return m_setting; }
    const CAssemblySetting& Assembly() const { return m_assembly; }
    const CPreviewLayout& Layout() const { return m_layout; }
    // How many times the sheets were painted (not merely copied).
    int SheetPaints() const { return m_sheetPaints; }

    // Paints the whole preview of `client` pixels into `cr`: background,
    // sheets, tiles.
    void Paint(cairo_t* cr, const CSize& client);

private:
    // The bitmap the tiles are drawn from: the capture, or a copy `factor`
    // times smaller.
    struct CPaintSource {
        CDibSectionPtr dib;
        int32_t factor = 1;
    };
    void StartReduction();
    void OnReduced(CPaintSource reduced);
    bool OnDraw(const Cairo::RefPtr<Cairo::Context>& cr);
    void PaintBackground(cairo_t* cr, const CSize& client);
    void PaintSheets(cairo_t* cr);
    // Everything one sheet shows; extra drawing on each sheet goes here.
    void PaintSheet(cairo_t* cr, int32_t column, int32_t row);
    CSize ClientSize() const;

    CWeakWidget m_area;
    std::vector<sigc::connection> m_connections;
    CDibSectionPtr m_bitmap;
    CPaperInfo m_paper;
    CFitImageToPageSetting m_setting;
    CAssemblySetting m_assembly;
    CPreviewLayout m_layout;
    CSize m_laidOutFor;
    CairoSurfacePtr m_sheets;
    int m_sheetPaints = 0;

    CPaintSource m_source;
    CBackgroundWork<CPaintSource> m_reducing;  // last: cancelled before the rest goes
};
