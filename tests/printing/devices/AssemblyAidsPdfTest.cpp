// The assembly aids of a printed poster where a person measures them: the
// PDF's pages rendered and read back, against positions worked out by hand.
//
// A capture of 370 x 370 pixels on 2 x 2 A4 sheets with 10 mm margins
// (190 x 277 mm printable) and a 10 mm glue overlap: across, two sheets
// give 190 + 190 - 10 = 370 mm, down 277 + 277 - 10 = 544 mm, so the width
// decides at 1 mm a pixel. A tile is 190 x 277 pixels, neighbours start 180
// and 267 pixels apart. Each sheet is cut where the part that only it gives
// the poster ends: column 1 at 10 and 10 + 180 = 190 mm, column 2 at 10 and
// 10 + 190 = 200 mm (its tile holds the last 190 pixels); row A at 10 and
// 10 + 267 = 277 mm, row B at 10 and 10 + 103 = 113 mm (the last 103
// pixels). Guides run in the margins along those lines.
#include "printing/PdfCheck.h"
#include "bitmap/DibSection.h"
#include "errors/StringTable.h"
#include "printing/job/QuorvaTask.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kDpi = 150;
constexpr double kPxToMm = 25.4 / kDpi;
constexpr double kPtToMm = 25.4 / 72;

// Centres (mm) of the runs of ink along a row (`across`) or column of the
// page, at `at` mm from the top (or left) edge.
std::vector<double> InkAlong(const CRenderedPage& page, bool across, double at)
{
    const int fixed = int(at / kPxToMm);
    const int length = across ? page.width : page.height;
    std::vector<double> centres;
    double weight = 0, sum = 0;
    for (int i = 0; i <= length; ++i) {
        double ink = 0;
        if (i < length) {
            const int x = across ? i : fixed, y = across ? fixed : i;
            ink = 255 - page.rgb[(size_t(y) * page.width + x) * 3 + 1];
        }
        if (ink > 20) {
            weight += ink;
            sum += ink * (i + 0.5);
        } else if (weight > 0) {
            centres.push_back(sum / weight * kPxToMm);
            weight = sum = 0;
        }
    }
    return centres;
}

void ExpectPositions(const std::vector<double>& found, const std::vector<double>& expected, const char* where)
{
    ASSERT_EQ(found.size(), expected.size()) << where << ": " << testing::PrintToString(found);
    for (size_t i = 0; i < found.size(); ++i)
        EXPECT_NEAR(found[i], expected[i], 0.3) << where << " guide " << i;
}

class AssemblyAidsOnPaper : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", 1);
        SetLanguage(UiLanguage::Japanese);
    }
    void SetUp() override
    {
        gchar* d = g_dir_make_tmp("qv-aids-XXXXXX", nullptr);
        dir = d;
        g_free(d);
        path = dir + "/poster.pdf";
        CPrintJob job;
        job.dib = CDibSection::New(370, 370, 24);
        ASSERT_TRUE(job.dib);
        // A plain light picture: nothing of it is taken for ink in the margins.
        std::memset(job.dib->Bits(), 0xF0, job.dib->ImageSize());
        job.docName = "Quorvane: aids";
        job.pageSetting.papers = {2, 2};
        job.pageSetting.assembly = {1000, true, true, false};
        job.outputFile = path;
        task.Execute(task.MakeJob(job));
    }
    void TearDown() override
    {
        g_unlink(path.c_str());
        g_rmdir(dir.c_str());
    }

    std::string dir, path;
    CQuorvaTask task;  // no CUPS server: the built-in "PDF" destination, A4
};

TEST_F(AssemblyAidsOnPaper, EveryGuideLiesOnItsCutWithinAThirdOfAMillimetre)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "poppler-utils is not installed (pdfinfo, pdftoppm)";
    ASSERT_FALSE(task.HasErr()) << task.GetErr().text;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column) {
            const int page = row * 2 + column + 1;
            SCOPED_TRACE(page);
            const auto image = RenderPdfPage(path, page, kDpi);
            ASSERT_TRUE(image);
            const double width = image->width * kPxToMm, height = image->height * kPxToMm;
            ASSERT_NEAR(width, 210, 0.5);
            ASSERT_NEAR(height, 297, 0.5);
            const std::vector<double> xs{10, column == 0 ? 190.0 : 200.0};
            const std::vector<double> ys{10, row == 0 ? 277.0 : 113.0};
            // 1 mm from each edge of the paper: clear of the labels.
            ExpectPositions(InkAlong(*image, true, 1), xs, "top margin");
            ExpectPositions(InkAlong(*image, true, height - 1), xs, "bottom margin");
            ExpectPositions(InkAlong(*image, false, 1), ys, "left margin");
            ExpectPositions(InkAlong(*image, false, width - 1), ys, "right margin");
        }
}

// Each sheet's name in its top margin, and each neighbour's name in the
// margin on that neighbour's side.
TEST_F(AssemblyAidsOnPaper, LabelsAndNeighbourMarksSitInTheirMargins)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "poppler-utils is not installed (pdftotext)";
    ASSERT_FALSE(task.HasErr()) << task.GetErr().text;
    struct Expected {
        const char* text;
        double left, top, right, bottom;  // mm: the margin band the word lies in
    };
    // Pictures: column 1 from 10 to 200 mm across, column 2 from 10 to
    // 200 mm; row A from 10 to 287 mm down, row B from 10 to 113 mm.
    const std::vector<Expected> sheets[4] = {
        {{"A1", 12, 0, 200, 10}, {"A2", 200, 10, 210, 287}, {"B1", 10, 287, 200, 297}},
        {{"A2", 12, 0, 200, 10}, {"A1", 0, 10, 10, 287}, {"B2", 10, 287, 200, 297}},
        {{"B1", 12, 0, 200, 10}, {"A1", 12, 0, 200, 10}, {"B2", 200, 10, 210, 113}},
        {{"B2", 12, 0, 200, 10}, {"A2", 12, 0, 200, 10}, {"B1", 0, 10, 10, 113}},
    };
    for (int page = 1; page <= 4; ++page) {
        SCOPED_TRACE(page);
        const auto words = PdfPageWords(path, page);
        ASSERT_TRUE(words);
        std::vector<bool> used(words->size());
        for (const Expected& e : sheets[page - 1]) {
            bool found = false;
            for (size_t i = 0; i < words->size() && !found; ++i) {
                const CPdfWord& w = (*words)[i];
                found = !used[i] && w.text == e.text && w.xMin * kPtToMm >= e.left - 0.3 &&
                        w.xMax * kPtToMm <= e.right + 0.3 && w.yMin * kPtToMm >= e.top - 0.3 &&
                        w.yMax * kPtToMm <= e.bottom + 0.3;
                used[i] = used[i] || found;
            }
            std::string seen;
            for (const CPdfWord& w : *words)
                seen += " " + w.text + "@" + std::to_string(int(w.xMin * kPtToMm)) + "," +
                        std::to_string(int(w.yMin * kPtToMm));
            EXPECT_TRUE(found) << e.text << " not within " << e.left << "," << e.top << " - " << e.right << ","
                               << e.bottom << " mm; words:" << seen;
        }
        // The label says the sheets across and down: "A1 / 2 x 2".
        const auto text = PdfPageText(path, page);
        ASSERT_TRUE(text);
        EXPECT_NE(text->find(" / 2 x 2"), std::string::npos) << *text;
    }
}

}  // namespace
