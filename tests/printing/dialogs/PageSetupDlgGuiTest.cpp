// The page setup dialog as a person meets it: its real modal run, keys
// through the X server, the built-in "PDF" destination's papers.
#include "GuiTestUtil.h"
#include "printing/PageSetupFixture.h"
#include "printing/PdfCheck.h"
#include "printing/PosterFixture.h"
#include "controls/GuiInput.h"
#include "errors/Exception.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "printing/dialogs/PageSetupDlg.h"
#include "printing/job/QuorvaTask.h"

#include <glib/gstdio.h>
#include <glibmm/fileutils.h>
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <optional>
#include <thread>

using namespace guitest;

namespace {

// A copy of the fixture with other bits: the same capture taken again
// after the map moved.
CDibSectionPtr CopyOf(const CDibSection& dib, bool changed)
{
    CDibSectionPtr copy = CDibSection::New(dib.Width(), dib.Height(), 24);
    std::memcpy(copy->Bits(), dib.Bits(), dib.ImageSize());
    if (changed)
        copy->Bits()[0] ^= 0xFF;
    return copy;
}

}  // namespace

TEST_F(PageSetupDlgTest, DpiSwitchesTheBoxesAndRedrawsAtOnce)
{
    Make();
    const int result = Run([this] {
        ASSERT_TRUE(PreviewHasBitmap());
        EXPECT_TRUE(Box(CPageSetupDlg::IDC_ACROSS).get_sensitive());
        EXPECT_FALSE(Box(CPageSetupDlg::IDC_DPI).get_sensitive());
        const CPageGrid fitted = dialog->Preview().Layout().grid;
        Key("alt+d");
        EXPECT_FALSE(Box(CPageSetupDlg::IDC_ACROSS).get_sensitive());
        EXPECT_FALSE(Box(CPageSetupDlg::IDC_DOWN).get_sensitive());
        EXPECT_TRUE(Box(CPageSetupDlg::IDC_DPI).get_sensitive());
        // 1000 pixels at 144 DPI are 6.94 inches: one A4 sheet, its tile the
        // printable width of 7.5 inches at 144 pixels an inch.
        EXPECT_EQ(dialog->Preview().PageSetting().fitType, DPI);
        EXPECT_NE(dialog->Preview().Layout().grid, fitted);
        EXPECT_EQ(dialog->Preview().Layout().grid.tile.cx, 1077);
        Key("Escape");
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(PageSetupDlgTest, ZeroSheetsAreRefusedOnlyWhileFitIsChosen)
{
    Make();
    int responses = 0;
    const int result = Run([&] {
        dialog->Dialog().signal_response().connect([&](int) { ++responses; });
        TypeInto(Box(CPageSetupDlg::IDC_ACROSS), "0");
        Key("Return");
        PumpUntil([&] { return !messages.empty(); });
        ASSERT_EQ(messages, std::vector<std::string>{"値が小さすぎます: 0"});
        EXPECT_EQ(responses, 0);
        EXPECT_TRUE(ShownPageSetupDialog());
        EXPECT_TRUE(Box(CPageSetupDlg::IDC_ACROSS).get_entry()->has_focus());
        // With DPI the disabled box is not looked at.
        Key("alt+d");
        dialog->Control(IDOK).grab_focus();
        Key("Return");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(dialog->PageSetting().fitType, DPI);
    EXPECT_EQ(dialog->PageSetting().papers, (CSize{1, 1}));
}

// Button 161 with a 10 mm glue strip: the capture takes the shape of two
// A4 sheets (2244 x 3272 dots at 300 dpi) that share 118 dots.
TEST_F(PageSetupDlgTest, FittingTheBrowserCountsTheGlueStrip)
{
    CFitImageToPageSetting twoSheets;
    twoSheets.papers = {2, 1};
    Make(twoSheets);
    dialog->SetAssembly({1000, false, false, false});
    Run([this] {
        ASSERT_TRUE(PreviewHasBitmap());
        dialog->Control(CPageSetupDlg::IDC_RESIZE).grab_focus();
        Key("space");
        // 1000 x 1000 grows to 4370 : 3272 = 1336 x 1000 (1372 without the strip).
        EXPECT_TRUE(PumpUntil([&] { return !resized.empty(); }, 10000));
        EXPECT_EQ(resized, std::vector<CSize>{(CSize{1336, 1000})});
        Key("Escape");
    });
    EXPECT_TRUE(messages.empty());
}

TEST_F(PageSetupDlgTest, PaperChangesReachThePreviewAtOnce)
{
    Make();
    Run([this] {
        ASSERT_TRUE(PreviewHasBitmap());
        const CFitImageToPagePreview& preview = dialog->Preview();
        const CSize a4 = preview.Layout().sheet;
        EXPECT_EQ(preview.PaperInfo().physicalWidth, 2480);  // 210 mm at 300 dpi
        // The "PDF" list starts with A3, then A4.
        Key("alt+z");
        Key("Up");
        EXPECT_EQ(dialog->Paper().DevMode().media, "iso_a3_297x420mm");
        EXPECT_EQ(preview.PaperInfo().physicalWidth, 3508);
        EXPECT_EQ(preview.PaperInfo().physicalHeight, 4961);
        // Landscape: the sheets lie on their side.
        Key("alt+a");
        EXPECT_GT(preview.Layout().sheet.cx, preview.Layout().sheet.cy);
        EXPECT_LT(a4.cx, a4.cy);
        Key("Escape");
    });
}

TEST_F(PageSetupDlgTest, TimerCapturesOneAtATimeRepaintsOnlyChangesAndReportsAnErrorOnce)
{
    int calls = 0, depth = 0, deepest = 0;
    bool fail = false;
    dialog = std::make_unique<CPageSetupDlg>(
        PdfPaper(), CFitImageToPageSetting{},
        AtOnce([&]() -> CDibSectionPtr {
            ++calls;
            if (fail)
                throw my::CException(189);
            // A slow capture: ticks come while this one still waits.
            ++depth;
            deepest = std::max(deepest, depth);
            RunUntil([] { return false; }, 1.3);
            --depth;
            return CopyOf(*capture, calls >= 3);
        }),
        nullptr);
    Run([&] {
        ASSERT_TRUE(PumpUntil([&] { return calls >= 4 && depth == 0; }, 20000));
        EXPECT_EQ(deepest, 1);
        // Same bits are not painted again; the changed third capture is, once.
        EXPECT_EQ(dialog->Preview().SheetPaints(), 2);
        fail = true;
        const int before = calls;
        PumpUntil([&] { return calls >= before + 3; }, 10000);
        EXPECT_EQ(messages, std::vector<std::string>{"ブラウザーの幅、もしくは高さが0です"});
        Key("Escape");
    });
}

// A Glib::Error is no std::exception: it is reported like any failure, and
// the ticks go on, so the preview shows the first capture that works.
TEST_F(PageSetupDlgTest, AToolkitErrorInACaptureIsShownOnceAndThePreviewGoesOn)
{
    int calls = 0;
    dialog = std::make_unique<CPageSetupDlg>(
        PdfPaper(), CFitImageToPageSetting{},
        AtOnce([&]() -> CDibSectionPtr {
            if (++calls <= 2)
                throw Glib::FileError(Glib::FileError::NO_SUCH_ENTITY, "the page went away");
            return capture;
        }),
        nullptr);
    Run([&] {
        ASSERT_TRUE(PumpUntil([&] { return dialog->Preview().Bitmap() != nullptr; }, 30000));
        EXPECT_EQ(calls, 3);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind("ATLの例外が発生しました: ", 0), 0u) << messages[0];
        EXPECT_NE(messages[0].find("the page went away"), std::string::npos) << messages[0];
        Key("Escape");
    });
}

// The second half of a capture (the rendered page made into the bitmap, and
// the compare) runs on the dialog's worker: meanwhile the dialog answers the
// keyboard and skips its ticks; then the preview shows the new capture's
// pixels, drops one with the same bits, and reports a worker's failure once.
TEST_F(PageSetupDlgTest, CapturesAreFinishedOnAWorkerWhileTheDialogGoesOn)
{
    const std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<int> allowed{0}, waiting{0};
    std::atomic<bool> onUiThread{false}, fail{false};
    int calls = 0;
    dialog = std::make_unique<CPageSetupDlg>(
        PdfPaper(), CFitImageToPageSetting{},
        AtOnce([&] {
            const int n = ++calls;
            return CPreviewCapture::Later([&, n]() -> CDibSectionPtr {
                // Held on the user-interface thread, the dialog would hang.
                if (std::this_thread::get_id() == uiThread)
                    onUiThread = true;
                ++waiting;
                while (allowed < n && !onUiThread)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                --waiting;
                if (fail)
                    throw my::CException(189);
                // The first two have the fixture's bits; the third differs.
                return CopyOf(*capture, n == 3);
            });
        }),
        nullptr);
    Run([&] {
        ASSERT_TRUE(PumpUntil([&] { return waiting == 1; }, 10000));
        Key("alt+d");
        EXPECT_TRUE(Box(CPageSetupDlg::IDC_DPI).get_sensitive());
        EXPECT_EQ(dialog->Preview().PageSetting().fitType, DPI);
        // Two ticks come and go while the capture is held: neither starts another.
        const int ticks = dialog->Ticks();
        ASSERT_TRUE(PumpUntil([&] { return dialog->Ticks() >= ticks + 2; }, 30000));
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(dialog->CaptureRunning());
        EXPECT_FALSE(dialog->Preview().Bitmap());

        allowed = 1;
        ASSERT_TRUE(PreviewHasBitmap());
        const CDibSectionPtr first = dialog->Preview().Bitmap();
        ASSERT_EQ(first->ImageSize(), capture->ImageSize());
        EXPECT_EQ(std::memcmp(first->Bits(), capture->Bits(), capture->ImageSize()), 0);

        allowed = 2;
        ASSERT_TRUE(PumpUntil([&] { return calls == 3 && waiting == 1; }, 10000));
        EXPECT_EQ(dialog->Preview().Bitmap(), first);

        allowed = 3;
        ASSERT_TRUE(PumpUntil([&] { return dialog->Preview().Bitmap() != first; }, 10000));
        EXPECT_EQ(dialog->Preview().Bitmap()->Bits()[0], capture->Bits()[0] ^ 0xFF);
        EXPECT_EQ(std::memcmp(dialog->Preview().Bitmap()->Bits() + 1, capture->Bits() + 1, capture->ImageSize() - 1),
                  0);
        EXPECT_TRUE(messages.empty());

        fail = true;
        allowed = 1000;
        ASSERT_TRUE(PumpUntil([&] { return calls >= 6 && !dialog->CaptureRunning(); }, 10000));
        EXPECT_EQ(messages, std::vector<std::string>{"ブラウザーの幅、もしくは高さが0です"});
        Key("Escape");
    });
    EXPECT_FALSE(onUiThread);
}

// Closed while a capture is still being finished: the dialog goes at once,
// without waiting for the work, whose result is dropped when it ends.
TEST_F(PageSetupDlgTest, ClosingWhileACaptureIsFinishedDropsIt)
{
    std::atomic<bool> started{false}, release{false}, finished{false};
    dialog = std::make_unique<CPageSetupDlg>(
        PdfPaper(), CFitImageToPageSetting{},
        AtOnce([&] {
            return CPreviewCapture::Later([&, dib = capture] {
                started = true;
                const gint64 end = g_get_monotonic_time() + 30 * G_USEC_PER_SEC;
                while (!release && g_get_monotonic_time() < end)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                CDibSectionPtr copy = CopyOf(*dib, true);
                finished = true;
                return copy;
            });
        }),
        nullptr);
    const int result = Run([&] {
        ASSERT_TRUE(PumpUntil([&] { return started.load(); }, 10000));
        Key("Escape");
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(finished) << "the dialog waited for the work";
    EXPECT_FALSE(dialog->CaptureRunning());
    EXPECT_FALSE(dialog->Preview().Bitmap());
    dialog.reset();
    release = true;
    ASSERT_TRUE(PumpUntil([&] { return finished.load(); }, 10000));
    // Whatever the dropped capture left queued runs now, and reports nothing.
    while (Glib::MainContext::get_default()->iteration(false)) {
    }
    EXPECT_TRUE(messages.empty());
}

namespace {

// Share of the pixels of preview sheet `sheet` (a 24-bit image, top-down)
// whose colour differs visibly from the rendered page.
double Mismatch(cairo_surface_t* preview, const CRect& sheet, const CRenderedPage& page)
{
    cairo_surface_flush(preview);
    const uint8_t* data = cairo_image_surface_get_data(preview);
    const int stride = cairo_image_surface_get_stride(preview);
    int differing = 0, counted = 0;
    for (int y = 0; y < std::min(sheet.Height(), page.height); ++y)
        for (int x = 0; x < std::min(sheet.Width(), page.width); ++x) {
            const uint32_t p = reinterpret_cast<const uint32_t*>(data + (sheet.top + y) * stride)[sheet.left + x];
            ++counted;
            if (!page.Near(x, y, uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 60))
                ++differing;
        }
    return counted ? double(differing) / counted : 1.0;
}

}  // namespace

TEST(PageSetupPreview, ShowsWhatThePrinterGets)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "poppler-utils is not installed (pdfinfo, pdftoppm)";
    g_setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", TRUE);
    gchar* dir = g_dir_make_tmp("qv-preview-XXXXXX", nullptr);
    const std::string path = std::string(dir) + "/poster.pdf";
    CQuorvaTask task;
    CPrintJob job;
    job.dib = poster::MakeCapture();
    job.docName = "poster";
    job.pageSetting.papers = {2, 2};
    job.outputFile = path;
    task.Execute(task.MakeJob(job));
    ASSERT_FALSE(task.HasErr()) << task.GetErr().text;

    // Sheets of 413 x 584 pixels: A4 at 50 dpi, as the pages are rendered.
    Gtk::OffscreenWindow window;
    Gtk::DrawingArea area;
    area.set_size_request(2 * 413 + 4, 2 * 584 + 4);
    window.add(area);
    window.show_all();
    CFitImageToPagePreview preview;
    preview.Attach(area);
    PumpUntil([&] { return area.get_allocated_width() == 830; });
    preview.SetPaperInfo(task.PaperInfo());
    preview.SetPageSetting(job.pageSetting);
    preview.SetBitmap(job.dib);
    ASSERT_EQ(preview.Layout().sheet, (CSize{413, 584}));

    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 830, 1172);
    cairo_t* cr = cairo_create(image);
    preview.Paint(cr, {830, 1172});
    cairo_destroy(cr);
    for (int page = 1; page <= 4; ++page) {
        const auto rendered = RenderPdfPage(path, page, 50);
        ASSERT_TRUE(rendered);
        const CRect sheet = preview.Layout().SheetRect((page - 1) % 2, (page - 1) / 2);
        // Edges may fall a pixel apart; the pictures are the same.
        EXPECT_LT(Mismatch(image, sheet, *rendered), 0.02) << page;
        if (page == 2) {
            EXPECT_GT(Mismatch(image, preview.Layout().SheetRect(0, 0), *rendered), 0.2);
        }
    }
    cairo_surface_destroy(image);
    g_unlink(path.c_str());
    g_rmdir(dir);
    g_free(dir);
}

// The group "貼り合わせ" reaches the preview at once, and the preview's sheet
// shows what the printer gets: the page printed with the same choices,
// rendered at the preview's scale, has the same pixels.
TEST_F(PageSetupDlgTest, AssemblyAidsShowInThePreviewAsTheyPrint)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "poppler-utils is not installed (pdfinfo, pdftoppm)";
    CFitImageToPageSetting twoByTwo;
    twoByTwo.papers = {2, 2};
    Make(twoByTwo);
    cairo_surface_t* image = nullptr;
    CRect sheet;
    const int result = Run([&] {
        ASSERT_TRUE(PreviewHasBitmap());
        const CFitImageToPagePreview& preview = dialog->Preview();
        EXPECT_EQ(preview.Layout().step, preview.Layout().grid.tile);
        Key("alt+g");
        Type("10");
        Key("Tab");
        Key("alt+u");
        Key("alt+e");
        Key("alt+y");
        EXPECT_EQ(preview.Assembly(), (CAssemblySetting{1000, true, true, true}));
        EXPECT_TRUE(preview.Layout().leading);
        EXPECT_LT(preview.Layout().step.cx, preview.Layout().grid.tile.cx);

        // Sheets large enough to tell a guide from a label.
        dialog->Control(CPageSetupDlg::IDC_PREVIEW).set_size_request(1300, 820);
        PumpUntil([&] { return preview.Layout().sheet.cx > 250; }, 5000);
        sheet = preview.Layout().SheetRect(0, 0);
        const CSize client{sheet.right + 8, sheet.bottom + 8};
        image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, client.cx, client.cy);
        cairo_t* cr = cairo_create(image);
        dialog->Preview().Paint(cr, client);
        cairo_destroy(cr);
        dialog->Control(IDOK).grab_focus();
        Key("Return");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(dialog->Assembly(), (CAssemblySetting{1000, true, true, true}));
    ASSERT_TRUE(image);

    // The same poster printed to a PDF file: its first sheet is page 2.
    gchar* dir = g_dir_make_tmp("qv-aids-XXXXXX", nullptr);
    const std::string path = std::string(dir) + "/poster.pdf";
    CQuorvaTask task;
    task.ReopenPrinter({kPdfPrinterName});
    CPrintJob job;
    job.dib = capture;
    job.docName = "Quorvane: aids";
    job.pageSetting.papers = {2, 2};
    job.pageSetting.assembly = dialog->Assembly();
    job.outputFile = path;
    task.Execute(task.MakeJob(job));
    ASSERT_FALSE(task.HasErr()) << task.GetErr().text;
    const auto printed = RenderPdfPageTo(path, 2, sheet.Width(), sheet.Height());
    g_unlink(path.c_str());
    g_rmdir(dir);
    g_free(dir);
    ASSERT_TRUE(printed);
    EXPECT_GT(sheet.Width() * sheet.Height(), 250 * 300);
    // The preview puts the tile's rectangle on whole pixels: the edges of
    // the capture's colours, lines and glyphs may fall one pixel apart.
    EXPECT_LT(Mismatch(image, sheet, *printed), 0.05);
    cairo_surface_destroy(image);
}
