#include "printing/PdfCheck.h"
#include "printing/PosterFixture.h"
#include "errors/StringTable.h"
#include "printing/poster/AssemblyAids.h"
#include "printing/devices/PdfPageDevice.h"
#include "printing/devices/PdfPageGroupFilter.h"
#include "printing/job/QuorvaTask.h"
#include "printing/poster/TilePainter.h"

#include <cairo.h>

#include <gtest/gtest.h>

#include <cairo-pdf.h>
#include <cairo.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <cstdlib>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

namespace {

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    if (GDir* d = g_dir_open(dir.c_str(), 0, nullptr)) {
        while (const char* name = g_dir_read_name(d))
            names.emplace_back(name);
        g_dir_close(d);
    }
    return names;
}

}  // namespace

class PrintPdfFile : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", 1);
        SetLanguage(UiLanguage::Japanese);
    }
    void SetUp() override
    {
        gchar* d = g_dir_make_tmp("qv-pdf-XXXXXX", nullptr);
        dir = d;
        g_free(d);
        path = dir + "/poster.pdf";
    }
    void TearDown() override
    {
        for (const auto& name : FilesIn(dir))
            g_unlink((dir + "/" + name).c_str());
        g_rmdir(dir.c_str());
    }

    void PrintPoster(const std::string& output, const CAssemblySetting& aids = {})
    {
        ASSERT_TRUE(task.PrintsToFile());
        CPrintJob job;
        job.dib = poster::MakeCapture();
        job.docName = "Quorvane: poster";
        job.pageSetting.papers = {2, 2};
        job.pageSetting.assembly = aids;
        job.outputFile = output;
        task.Execute(task.MakeJob(job));
    }

    std::string dir, path;
    CQuorvaTask task;  // no CUPS server: the built-in "PDF" destination, A4
};

TEST_F(PrintPdfFile, PosterOfFourA4Pages)
{
    PrintPoster(path);
    ASSERT_FALSE(task.HasErr()) << task.GetErr().text;
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"poster.pdf"});
    std::string why;
    const auto facts = ReadPdfFacts(ReadFile(path), why);
    ASSERT_TRUE(facts) << why;
    ASSERT_EQ(facts->pages, 4u);
    for (const CPdfPageSize& box : facts->mediaBoxes) {
        EXPECT_NEAR(box.width, 595.28, 0.01);
        EXPECT_NEAR(box.height, 841.89, 0.01);
    }
    // No transparency group that would make CUPS flatten the pages.
    EXPECT_EQ(facts->pageGroups, 0u);
    // Each tile once, at the bitmap's own resolution, losslessly.
    std::vector<CSize> sizes;
    for (const CPdfImageFacts& image : facts->images) {
        sizes.push_back({image.width, image.height});
        EXPECT_EQ(image.filter, "/FlateDecode");
    }
    EXPECT_EQ(sizes, (std::vector<CSize>{{500, 729}, {500, 729}, {500, 271}, {500, 271}}));
}

TEST_F(PrintPdfFile, PagesShowTheirTilesWhereTheGeometrySays)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "poppler-utils is not installed (pdfinfo, pdftoppm)";
    PrintPoster(path);
    ASSERT_FALSE(task.HasErr()) << task.GetErr().text;
    const auto sizes = PdfPageSizes(path);
    ASSERT_TRUE(sizes);
    ASSERT_EQ(sizes->size(), 4u);
    for (const auto& s : *sizes) {
        EXPECT_NEAR(s.width, 595.28, 0.5);
        EXPECT_NEAR(s.height, 841.89, 0.5);
    }
    // The "PDF" destination: A4 at 300 dpi.
    ASSERT_EQ(task.PaperInfo().resX, 300);
    ASSERT_EQ(task.PaperInfo().resY, 300);
    for (int page = 1; page <= 4; ++page) {
        const auto image = RenderPdfPage(path, page, 100);
        ASSERT_TRUE(image);
        for (const auto& failure : CheckPosterPage(*image, 100, page, poster::kA4At300Tiles[page - 1], 300))
            ADD_FAILURE() << failure;
    }
}

TEST_F(PrintPdfFile, AbortKeepsTheOldFileAndLeavesNothingElse)
{
    ASSERT_TRUE(g_file_set_contents(path.c_str(), "old", -1, nullptr));
    const CDevMode dm = *task.CopyDevMode();
    std::unique_ptr<CPageDevice> dc = task.Printer()->CreateDevice(dm, path);
    SysErr err;
    ASSERT_GT(dc->StartDoc("Quorvane: x", err), 0);
    ASSERT_GT(dc->StartPage(err), 0);
    auto dib = poster::MakeCapture();
    EXPECT_TRUE(dc->StretchDib(*dib, {10, 10, 510, 739}, {0, 0, 500, 729}));
    dc->EndPage();
    dc->AbortDoc();
    dc.reset();
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"poster.pdf"});
}

TEST_F(PrintPdfFile, MissingFolderFailsToStart)
{
    PrintPoster(dir + "/no/such/folder/poster.pdf");
    EXPECT_EQ(task.GetErr().msgId, 58976u);
    EXPECT_EQ(task.GetErr().text.rfind("印刷の開始に失敗しました: ", 0), 0u);
    EXPECT_GT(task.GetErr().text.size(), std::string("印刷の開始に失敗しました: ").size());
}

TEST_F(PrintPdfFile, FullDiskFailsTheJob)
{
    if (!g_file_test("/dev/full", G_FILE_TEST_EXISTS))
        GTEST_SKIP() << "this system has no /dev/full";
    // A sink that writes into a full device: the document cannot be finished.
    class CFullSink : public CPdfSink {
    public:
        int Open(const std::string&, SysErr&) override { return 1; }
        bool Write(const char*, size_t) override { return false; }
        int Finish(SysErr&) override { return 1; }
        void Cancel() override { cancelled = true; }
        SysErr WriteError() const override { return SysErr::FromErrno(ENOSPC); }
        bool cancelled = false;
    };
    auto sink = std::make_unique<CFullSink>();
    CFullSink* raw = sink.get();
    CPdfPageDevice dc(MakeDeviceMetrics(21000, 29700, {}, 300), 21000, 29700, std::move(sink));
    SysErr err;
    ASSERT_GT(dc.StartDoc("x", err), 0);
    dc.StartPage(err);
    auto dib = poster::MakeCapture();
    dc.StretchDib(*dib, {0, 0, 500, 500}, {0, 0, 500, 500});
    dc.EndPage();
    EXPECT_LE(dc.EndDoc(err), 0);
    EXPECT_EQ(err.code, ENOSPC);
    EXPECT_TRUE(raw->cancelled);
}

namespace {

// A page drawn by cairo with a soft-masked image and a mask: cairo writes
// transparency groups into the forms of the masks as well as into the page.
std::string CairoDocumentWithMasks()
{
    std::string pdf;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(
        [](void* closure, const unsigned char* data, unsigned int length) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
            return CAIRO_STATUS_SUCCESS;
        },
        &pdf, 200, 200);
    cairo_t* cr = cairo_create(surface);
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, 0, 100, 0);
    cairo_pattern_add_color_stop_rgba(fade, 0, 1, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 1, 0);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 100);
    cairo_t* icr = cairo_create(image);
    cairo_set_source(icr, fade);
    cairo_paint(icr);
    cairo_destroy(icr);
    cairo_set_source_surface(cr, image, 10, 10);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0.5, 0);
    cairo_mask(cr, fade);
    cairo_show_page(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
    cairo_surface_destroy(image);
    cairo_pattern_destroy(fade);
    return pdf;
}

// The same document with its objects packed into compressed object streams,
// as newer cairo writes them.
std::string InObjectStreams(const std::string& pdf)
{
    QPDF doc;
    doc.processMemoryFile("cairo", pdf.data(), pdf.size());
    QPDFWriter writer(doc);
    writer.setOutputMemory();
    writer.setObjectStreamMode(qpdf_o_generate);
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

}  // namespace

TEST(PrintPdfGroupFilter, RemovesOnlyThePageGroupWhicheverWayTheObjectsAreStored)
{
    const std::string plain = CairoDocumentWithMasks();
    for (const std::string& pdf : {plain, InObjectStreams(plain)}) {
        std::string why;
        const auto before = ReadPdfFacts(pdf, why);
        ASSERT_TRUE(before) << why;
        ASSERT_EQ(before->pageGroups, 1u);
        ASSERT_GE(before->groupForms, 1u) << "cairo wrote no group for the mask";
        ASSERT_EQ(before->images.size(), 1u);
        ASSERT_TRUE(before->images[0].softMask);
        ASSERT_GE(before->softMaskStates, 1u);

        std::string output;
        CPdfPageGroupFilter filter([&](const char* d, size_t n) {
            output.append(d, n);
            return true;
        });
        // cairo hands over the document in pieces of any size.
        for (size_t at = 0; at < pdf.size(); at += 97)
            ASSERT_TRUE(filter.Write(pdf.data() + at, std::min<size_t>(97, pdf.size() - at)));
        ASSERT_TRUE(filter.Flush()) << filter.Error().text;
        EXPECT_EQ(filter.GroupsRemoved(), 1u);

        const auto after = ReadPdfFacts(output, why);
        ASSERT_TRUE(after) << why;
        SCOPED_TRACE(before->objectStreams ? "object streams" : "plain objects");
        // Kept in object streams when they came in them (qpdf may regroup
        // them: Debian 13's packs cairo's two streams into one).
        EXPECT_EQ(after->objectStreams > 0, before->objectStreams > 0);
        EXPECT_EQ(after->pages, 1u);
        EXPECT_EQ(after->pageGroups, 0u);
        EXPECT_EQ(after->groupForms, before->groupForms);
        EXPECT_EQ(after->softMaskStates, before->softMaskStates);
        ASSERT_EQ(after->images.size(), 1u);
        EXPECT_TRUE(after->images[0].softMask);
    }
}

TEST(PrintPdfGroupFilter, FailsOnARefusedWriteAndOnWhatIsNoPdf)
{
    const std::string pdf = CairoDocumentWithMasks();
    CPdfPageGroupFilter refused([](const char*, size_t) { return false; });
    ASSERT_TRUE(refused.Write(pdf.data(), pdf.size()));
    EXPECT_FALSE(refused.Flush());
    EXPECT_EQ(refused.Error().code, 0) << "the output's own error is the one to report";

    bool written = false;
    CPdfPageGroupFilter garbage([&](const char*, size_t) { return written = true; });
    const std::string text = "%PDF-1.5\nnot really\n";
    ASSERT_TRUE(garbage.Write(text.data(), text.size()));
    EXPECT_FALSE(garbage.Flush());
    EXPECT_NE(garbage.Error().code, 0);
    EXPECT_FALSE(garbage.Error().text.empty());
    EXPECT_FALSE(written);
}

// What a preview draws into pixels with the same painters, at the scale
// poppler renders the printed page: the two pictures agree.
TEST_F(PrintPdfFile, PaintersDrawIntoPixelsWhatThePageShows)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "poppler-utils is not installed (pdfinfo, pdftoppm)";
    const CAssemblySetting aids{1000, true, true, true};
    PrintPoster(path, aids);
    ASSERT_FALSE(task.HasErr()) << task.GetErr().text;
    const CPaperInfo& paper = task.PaperInfo();
    const CDibSectionPtr dib = poster::MakeCapture();
    constexpr int dpi = 72;
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        const auto printed = RenderPdfPage(path, page, dpi);
        ASSERT_TRUE(printed);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, printed->width, printed->height);
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_scale(cr, double(dpi) / paper.resX, double(dpi) / paper.resY);
        cairo_translate(cr, paper.hardPrintable.left, paper.hardPrintable.top);
        const CRect clip{0, 0, paper.hardPrintable.Width(), paper.hardPrintable.Height()};
        if (page == 1) {
            EXPECT_TRUE(PaintAssemblySheet(cr, *dib, task.Poster(), paper, clip));
        } else {
            const CPosterSheet sheet = MapPosterSheet(1, task.Poster(), paper, {dib->Width(), dib->Height()});
            EXPECT_TRUE(PaintTile(cr, *dib, sheet.tile.source, sheet.tile.dest, clip));
            EXPECT_TRUE(PaintSheetAids(cr, sheet, task.Poster(), paper, aids, clip));
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const uint8_t* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        size_t differing = 0, dark = 0;
        for (int y = 0; y < printed->height; ++y)
            for (int x = 0; x < printed->width; ++x) {
                const uint8_t* p = data + size_t(y) * stride + x * 4;
                const uint8_t* q = &printed->rgb[(size_t(y) * printed->width + x) * 3];
                const int diff = std::max({std::abs(p[2] - q[0]), std::abs(p[1] - q[1]), std::abs(p[0] - q[2])});
                differing += diff > 64;
                dark += q[1] < 128;
            }
        cairo_surface_destroy(surface);
        // Edges of lines and glyphs may fall on neighbouring pixels, and the
        // assembly sheet's picture is a reduced copy on paper.
        EXPECT_LT(differing, size_t(printed->width) * printed->height / 100) << differing;
        EXPECT_GT(dark, size_t(printed->width) * printed->height / 50);
    }
}
