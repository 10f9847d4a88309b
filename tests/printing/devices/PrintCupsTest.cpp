// Real printing: a private CUPS server with a cups-pdf queue receives the
// program's jobs, and the PDFs that come out are looked at.
#include "printing/CupsTestServer.h"
#include "printing/PdfCheck.h"
#include "printing/PosterFixture.h"
#include "errors/StringTable.h"
#include "printing/job/QuorvaThread.h"
#include "printing/poster/TileGeometry.h"

#include <cairo.h>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <glib/gstdio.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <regex>

namespace {

CPrintJob PosterJob(int across, int down, const std::string& outputFile = {})
{
    CPrintJob job;
    job.dib = poster::MakeCapture();
    job.docName = "Quorvane: poster";
    job.pageSetting.papers = {across, down};
    job.outputFile = outputFile;
    return job;
}

}  // namespace

class PrintCups : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        SetLanguage(UiLanguage::Japanese);
        g_unsetenv("LPDEST");
        g_unsetenv("PRINTER");
        server = new CCupsTestServer;
        started = server->Start();
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        // Only missing packages excuse the tests; a server that CUPS could
        // run but did not is a failure.
        if (!started && server->Unavailable())
            GTEST_SKIP() << "no private CUPS server: " << server->Why();
        ASSERT_TRUE(started) << "the private CUPS server failed: " << server->Why();
    }
    void TearDown() override
    {
        for (const auto& file : outputs)
            g_unlink(file.c_str());
    }

    // Prints the poster through the print thread; the CUPS job's id.
    int PrintPoster(CQuorvaThread& thread, int across, int down)
    {
        thread.Task()->ReopenPrinter({CCupsTestServer::kQueue});
        EXPECT_TRUE(thread.Start(thread.Task()->MakeJob(PosterJob(across, down))));
        EXPECT_TRUE(thread.Wait(INFINITE));
        return server->LastJobId();
    }

    static inline CCupsTestServer* server = nullptr;
    static inline bool started = false;
    std::vector<std::string> outputs;
};

TEST_F(PrintCups, QueueIsOfferedWithItsPaper)
{
    const std::vector<std::string> names = EnumPrinterNames();
    EXPECT_NE(std::find(names.begin(), names.end(), CCupsTestServer::kQueue), names.end());
    EXPECT_EQ(names.back(), "PDF");

    const CPrinterPtr printer = CPrinter::Open(CCupsTestServer::kQueue);
    ASSERT_TRUE(printer);
    EXPECT_FALSE(printer->IsPdf());
    EXPECT_EQ(printer->Resolution(), 300);
    const CDevMode dm = printer->DefaultDevMode();
    EXPECT_EQ(dm.paperSize, 9);
    EXPECT_EQ(dm.media.rfind("iso_a4_210x297mm", 0), 0u) << dm.media;
    EXPECT_TRUE(dm.fields & DM_ORIENTATION);
    const CDeviceMetrics m = printer->Metrics(dm);
    EXPECT_EQ(m.physicalWidth, 2480);
    EXPECT_EQ(m.physicalHeight, 3508);
    // The server's MaxCopies is the queue's copies-supported; "PDF" says none.
    EXPECT_EQ(printer->MaxCopies(), CCupsTestServer::kMaxCopies);
    EXPECT_EQ(CPrinter::Open(kPdfPrinterName)->MaxCopies(), 9999);
    EXPECT_FALSE(CPrinter::Open("no-such-queue"));

    ASSERT_TRUE(server->RunTool({"lpadmin", "-d", CCupsTestServer::kQueue}));
    EXPECT_EQ(DefaultPrinterName(), CCupsTestServer::kQueue);
}

TEST_F(PrintCups, PosterArrivesAsFourA4PagesWithItsTiles)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "poppler-utils is not installed (pdfinfo, pdftoppm)";
    CQuorvaThread thread;
    const auto start = std::chrono::steady_clock::now();
    const int jobId = PrintPoster(thread, 2, 2);
    ASSERT_FALSE(thread.Task()->HasErr()) << thread.Task()->GetErr().text;
    ASSERT_GT(jobId, 0);
    ASSERT_EQ(server->WaitForJobEnd(jobId, 180), IPP_JSTATE_COMPLETED);
    const auto output = server->OutputOfJob(jobId, 30);
    ASSERT_TRUE(output);
    outputs.push_back(*output);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("seconds_to_finished_job", std::to_string(seconds));
    std::printf("poster job %d finished by CUPS after %.2f s\n", jobId, seconds);

    const auto sizes = PdfPageSizes(*output);
    ASSERT_TRUE(sizes);
    ASSERT_EQ(sizes->size(), 4u);
    for (const auto& s : *sizes) {
        EXPECT_NEAR(s.width, 595, 1);
        EXPECT_NEAR(s.height, 842, 1);
    }
    // The queue's A4 is at 300 dpi.
    ASSERT_EQ(thread.Task()->PaperInfo().resX, 300);
    ASSERT_EQ(thread.Task()->PaperInfo().resY, 300);
    for (int page = 1; page <= 4; ++page) {
        const auto image = RenderPdfPage(*output, page, 100);
        ASSERT_TRUE(image);
        for (const auto& failure : CheckPosterPage(*image, 100, page, poster::kA4At300Tiles[page - 1], 300))
            ADD_FAILURE() << failure;
    }
    // The document arrived without page groups, so the filters kept the
    // tiles as they were sent: no page-sized rasters.
    std::string why;
    const auto sent = ReadPdfFacts(ReadFile(server->SpoolFileOfJob(jobId)), why);
    ASSERT_TRUE(sent) << why;
    EXPECT_EQ(sent->pages, 4u);
    EXPECT_EQ(sent->pageGroups, 0u);
    const auto images = PdfImageSizes(*output);
    ASSERT_TRUE(images);
    EXPECT_EQ(*images, (std::vector<CSize>{{500, 729}, {500, 729}, {500, 271}, {500, 271}}));
}

// A page drawn with soft masks (an image with an alpha channel, a faded
// fill) reaches CUPS with its masks and their groups; only the page's own
// group is gone.
TEST_F(PrintCups, SoftMasksReachCupsWithTheirGroups)
{
    const CPrinterPtr printer = CPrinter::Open(CCupsTestServer::kQueue);
    ASSERT_TRUE(printer);
    std::unique_ptr<CPageDevice> dc = printer->CreateDevice(printer->MakeDevMode(printer->Media().front(),
                                                                                 DMORIENT_PORTRAIT, ""), "");
    ASSERT_TRUE(dc);
    SysErr err;
    const int jobId = dc->StartDoc("Quorvane: masks", err);
    ASSERT_GT(jobId, 0) << err.text;
    ASSERT_GT(dc->StartPage(err), 0) << err.text;
    EXPECT_TRUE(dc->Paint([](cairo_t* cr, const CRect&, CairoSurfacePtr*) {
        cairo_pattern_t* fade = cairo_pattern_create_linear(0, 0, 400, 0);
        cairo_pattern_add_color_stop_rgba(fade, 0, 1, 0, 0, 1);
        cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 1, 0);
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 400, 300);
        cairo_t* icr = cairo_create(image);
        cairo_set_source(icr, fade);
        cairo_paint(icr);
        cairo_destroy(icr);
        cairo_set_source_surface(cr, image, 100, 100);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 0, 0.5, 0);
        cairo_translate(cr, 100, 500);
        cairo_mask(cr, fade);
        cairo_surface_destroy(image);
        cairo_pattern_destroy(fade);
        return true;
    }));
    ASSERT_GT(dc->EndPage(), 0);
    ASSERT_GT(dc->EndDoc(err), 0) << err.text;
    ASSERT_EQ(server->WaitForJobEnd(jobId, 180), IPP_JSTATE_COMPLETED);
    const auto output = server->OutputOfJob(jobId, 30);
    ASSERT_TRUE(output);
    outputs.push_back(*output);

    std::string why;
    const auto sent = ReadPdfFacts(ReadFile(server->SpoolFileOfJob(jobId)), why);
    ASSERT_TRUE(sent) << why;
    EXPECT_EQ(sent->pageGroups, 0u);
    EXPECT_GE(sent->groupForms, 1u);
    EXPECT_GE(sent->softMaskStates, 1u);
    ASSERT_EQ(sent->images.size(), 1u);
    EXPECT_TRUE(sent->images[0].softMask);
    const auto printed = PdfImageSizes(*output);
    ASSERT_TRUE(printed);
    EXPECT_FALSE(printed->empty()) << "CUPS printed nothing of the page";
}

TEST_F(PrintCups, PdfDestinationWritesTheSameDocument)
{
    CQuorvaThread thread;
    const int jobId = PrintPoster(thread, 2, 2);
    ASSERT_FALSE(thread.Task()->HasErr()) << thread.Task()->GetErr().text;
    server->WaitForJobEnd(jobId, 180);
    if (const auto output = server->OutputOfJob(jobId, 30))
        outputs.push_back(*output);
    const std::string sent = ReadFile(server->SpoolFileOfJob(jobId));
    ASSERT_FALSE(sent.empty());

    gchar* dir = g_dir_make_tmp("qv-same-XXXXXX", nullptr);
    const std::string file = std::string(dir) + "/poster.pdf";
    thread.Task()->ReopenPrinter({"PDF"});
    ASSERT_TRUE(thread.Start(thread.Task()->MakeJob(PosterJob(2, 2, file))));
    ASSERT_TRUE(thread.Wait(INFINITE));
    ASSERT_FALSE(thread.Task()->HasErr()) << thread.Task()->GetErr().text;
    const std::string written = ReadFile(file);
    g_unlink(file.c_str());
    g_rmdir(dir);
    g_free(dir);

    // Only the creation time, and the /ID made from it, may differ.
    std::string why;
    EXPECT_TRUE(SamePdfApartFromDates(written, sent, why)) << why;
}

TEST_F(PrintCups, CancelledJobLeavesNoOutput)
{
    const CPrinterPtr printer = CPrinter::Open(CCupsTestServer::kQueue);
    ASSERT_TRUE(printer);
    std::unique_ptr<CPageDevice> dc = printer->CreateDevice(printer->DefaultDevMode(), {});
    SysErr err;
    const int jobId = dc->StartDoc("Quorvane: cancelled", err);
    ASSERT_GT(jobId, 0) << err.text;
    ASSERT_GT(dc->StartPage(err), 0);
    auto dib = poster::MakeCapture();
    EXPECT_TRUE(dc->StretchDib(*dib, {100, 100, 1100, 1100}, {0, 0, 1000, 1000}));
    dc->EndPage();
    dc->AbortDoc();
    EXPECT_EQ(server->WaitForJobEnd(jobId, 30), IPP_JSTATE_CANCELED);
    EXPECT_FALSE(server->OutputOfJob(jobId, 3));
}

TEST_F(PrintCups, StopRequestCancelsTheRunningJob)
{
    CQuorvaThread thread;
    thread.Task()->ReopenPrinter({CCupsTestServer::kQueue});
    ASSERT_TRUE(thread.Start(thread.Task()->MakeJob(PosterJob(4, 4))));
    // The user-interface thread asks the job to stop while it starts.
    thread.Terminate(true);
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(thread.Task()->GetErr().msgId, 58725u);
    const int jobId = server->LastJobId();
    ASSERT_GT(jobId, 0);
    EXPECT_EQ(server->WaitForJobEnd(jobId, 30), IPP_JSTATE_CANCELED);
    EXPECT_FALSE(server->OutputOfJob(jobId, 3));
}

// A 2 x 2 poster with 10 mm of glue overlap and every aid, worked by hand
// for the queue's A4 at 300 dpi: 10 mm margins leave 2244 x 3272 dots at
// (118, 118); 10 mm is 118 dots; two sheets hold 2 x 2244 - 118 = 4370
// dots across, so a sheet carries 2244 / 4370 of the 1000 pixels (514) and
// neighbours share 118 / 4370 of them (27): tiles start 487 and 722 apart.
TEST_F(PrintCups, OverlappingPosterWithEveryAid)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "poppler-utils is not installed (pdfinfo, pdftoppm)";
    CQuorvaThread thread;
    thread.Task()->ReopenPrinter({CCupsTestServer::kQueue});
    CPrintJob job = PosterJob(2, 2);
    job.pageSetting.assembly = {1000, true, true, true};
    ASSERT_TRUE(thread.Start(thread.Task()->MakeJob(job)));
    ASSERT_TRUE(thread.Wait(INFINITE));
    ASSERT_FALSE(thread.Task()->HasErr()) << thread.Task()->GetErr().text;
    const int jobId = server->LastJobId();
    ASSERT_EQ(server->WaitForJobEnd(jobId, 180), IPP_JSTATE_COMPLETED);
    const auto output = server->OutputOfJob(jobId, 30);
    ASSERT_TRUE(output);
    outputs.push_back(*output);

    // The assembly sheet first (its picture at 150 dpi would be 2244 / 2
    // pixels square, but it takes no more than the capture's 1000), then
    // each tile embedded once.
    ASSERT_EQ(PdfPageSizes(*output)->size(), 5u);
    EXPECT_EQ(*PdfImageSizes(*output),
              (std::vector<CSize>{{1000, 1000}, {514, 749}, {513, 749}, {514, 278}, {513, 278}}));
    const std::string overview = PdfPageText(*output, 1).value_or("");
    for (const char* text : {"A1", "A2", "B1", "B2", " mm"})
        EXPECT_NE(overview.find(text), std::string::npos) << text << " in " << overview;
    // cups-pdf's rewrite loses the text of Japanese glyphs; the document as
    // sent has it.
    const std::string sent = PdfPageText(server->SpoolFileOfJob(jobId), 1).value_or("");
    EXPECT_NE(sent.find("仕上がりサイズ"), std::string::npos) << sent;

    const CRect sources[] = {{0, 0, 514, 749}, {487, 0, 1000, 749}, {0, 722, 514, 1000}, {487, 722, 1000, 1000}};
    const char* labels[] = {"A1 / 2 x 2", "A2 / 2 x 2", "B1 / 2 x 2", "B2 / 2 x 2"};
    const CPaperInfo& paper = thread.Task()->PaperInfo();
    constexpr int dpi = 150;
    const double toPx = double(dpi) / 300;
    for (int sheet = 0; sheet < 4; ++sheet) {
        SCOPED_TRACE(labels[sheet]);
        const int page = sheet + 2;
        EXPECT_NE(PdfPageText(*output, page).value_or("").find(labels[sheet]), std::string::npos);
        const auto image = RenderPdfPage(*output, page, dpi);
        ASSERT_TRUE(image);
        // Bitmap pixels in the middle of a plain area of the fixture appear
        // where the sheet's scale puts them: 2244 dots for 514 pixels across,
        // 3272 dots for 749 pixels down, from the printable corner.
        const CRect& src = sources[sheet];
        int checked = 0;
        for (int by = src.top + 2; by < src.bottom - 2; by += 7) {
            for (int bx = src.left + 2; bx < src.right - 2; bx += 7) {
                const poster::Rgb c = poster::ColourAt(bx, by);
                bool plain = true;
                for (int d = -2; d <= 2 && plain; ++d)
                    for (int e = -2; e <= 2 && plain; ++e) {
                        const poster::Rgb n = poster::ColourAt(bx + d, by + e);
                        plain = n.r == c.r && n.g == c.g && n.b == c.b;
                    }
                if (!plain)
                    continue;
                const int x = int((118 + (bx + 0.5 - src.left) * 2244 / 514) * toPx);
                const int y = int((118 + (by + 0.5 - src.top) * 3272 / 749) * toPx);
                ++checked;
                EXPECT_TRUE(image->Near(x, y, c.r, c.g, c.b)) << "pixel " << bx << "," << by << " at " << x << ","
                                                              << y << " is " << image->ColourText(x, y);
            }
        }
        EXPECT_GT(checked, 1000);
        // The guide of the unique part's right edge (the glue line on the
        // left sheets: 487 of 514 pixels in) runs in the top margin and
        // stops before the picture, which shows the capture right there.
        const int guideDots = 118 + (sheet % 2 == 0 ? 2126 : 2240);
        const int guideX = int(guideDots * toPx);
        const int marginY = int((paper.hardPrintable.top + 118) / 2 * toPx);
        int darkest = 255;
        for (int x = guideX - 1; x <= guideX + 1; ++x)
            darkest = std::min(darkest, int(image->rgb[(size_t(marginY) * image->width + x) * 3 + 1]));
        EXPECT_LT(darkest, 200) << "no guide at " << guideX << "," << marginY;
        const int insideX = guideX - 1, insideY = int(122 * toPx);
        const poster::Rgb under = poster::ColourAt(src.left + int((insideX / toPx - 118) * 514 / 2244), src.top);
        EXPECT_TRUE(image->Near(insideX, insideY, under.r, under.g, under.b)) << image->ColourText(insideX, insideY);
    }
}

namespace {

// The first and last columns (or rows) that are not paper white along a line
// through the middle of a tile: the tile's frame.
std::pair<int, int> InkSpan(const CRenderedPage& page, bool across, int at)
{
    const int length = across ? page.width : page.height;
    int first = -1, last = -1;
    for (int i = 0; i < length; ++i) {
        const int x = across ? i : at, y = across ? at : i;
        if (!page.Near(x, y, 255, 255, 255, 60)) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    return {first, last + 1};
}

}  // namespace

// A PostScript queue whose paper has hardware margins, as real printers do:
// the filters must not scale the full-sheet pages into the printable area,
// or the tiles would no longer meet edge to edge.
TEST_F(PrintCups, TilesLandWhereTheGeometrySaysOnAPrinterWithMargins)
{
    if (!HaveGhostscript())
        GTEST_SKIP() << "ghostscript is not installed (gs)";
    ASSERT_TRUE(server->AddPostScriptQueue()) << server->Why();
    CQuorvaThread thread;
    CQuorvaTask& task = *thread.Task();
    task.ReopenPrinter({CCupsTestServer::kPostScriptQueue});
    ASSERT_TRUE(task.Printer());
    const std::vector<CMediaInfo>& media = task.Printer()->Media();
    const auto a4 = std::find_if(media.begin(), media.end(), [](const CMediaInfo& m) {
        return std::abs(m.width - 21000) <= 20 && std::abs(m.length - 29700) <= 20;
    });
    ASSERT_NE(a4, media.end());
    ASSERT_GT(a4->margins.left, 0) << "the queue's paper has no hardware margins";
    task.ReplaceDevMode(task.Printer()->MakeDevMode(*a4, DMORIENT_PORTRAIT, ""));
    ASSERT_TRUE(thread.Start(task.MakeJob(PosterJob(2, 2))));
    ASSERT_TRUE(thread.Wait(INFINITE));
    ASSERT_FALSE(task.HasErr()) << task.GetErr().text;
    const int jobId = server->LastJobId(CCupsTestServer::kPostScriptQueue);
    ASSERT_EQ(server->WaitForJobEnd(jobId, 180, CCupsTestServer::kPostScriptQueue), IPP_JSTATE_COMPLETED);

    const std::string output = ReadFile(server->PostScriptOutput());
    ASSERT_EQ(output.rfind("%!PS", 0), 0u) << output.substr(0, 200);
    // The queue's A4 is at 300 dpi; its hardware margins do not move the
    // tiles on the paper.
    ASSERT_EQ(task.PaperInfo().resX, 300);
    ASSERT_EQ(task.PaperInfo().resY, 300);
    for (int pageNo : {1, 4}) {
        const auto page = RenderPostScriptPage(server->PostScriptOutput(), pageNo, 300);
        ASSERT_TRUE(page) << "page " << pageNo << " at 300 dpi";
        const CRect& dest = poster::kA4At300Tiles[pageNo - 1];
        const auto [left, right] = InkSpan(*page, true, (dest.top + dest.bottom) / 2);
        const auto [top, bottom] = InkSpan(*page, false, (dest.left + dest.right) / 2);
        EXPECT_NEAR(left, dest.left, 1) << "page " << pageNo;
        EXPECT_NEAR(right, dest.right, 1) << "page " << pageNo;
        EXPECT_NEAR(top, dest.top, 1) << "page " << pageNo;
        EXPECT_NEAR(bottom, dest.bottom, 1) << "page " << pageNo;
    }
}

// A personal default (LPDEST, or lpoptions -d) naming a queue this server
// does not have: the server's default is next, before "PDF".
TEST_F(PrintCups, MissingPersonalDefaultFallsBackToTheServerDefault)
{
    ASSERT_TRUE(server->RunTool({"lpadmin", "-d", CCupsTestServer::kQueue}));
    g_setenv("LPDEST", "no-such-queue", TRUE);
    const std::string name = DefaultPrinterName();
    g_unsetenv("LPDEST");
    EXPECT_EQ(name, CCupsTestServer::kQueue);
}
