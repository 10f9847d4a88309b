#include "printing/PosterFixture.h"
#include "printing/RecordingPageDevice.h"
#include "errors/StringTable.h"
#include "printing/job/QuorvaTask.h"
#include "printing/poster/TileGeometry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

// The page each drawn source rectangle belongs to, on the poster's 2 x 2 grid.
int PageOfSource(const CRect& src)
{
    return (src.top >= poster::kTileH ? 2 : 0) + (src.left >= poster::kTileW ? 1 : 0) + 1;
}

CDevMode A4DevMode()
{
    CDevMode dm;
    dm.deviceName = "Recorder";
    dm.fields = DM_ORIENTATION | DM_PAPERSIZE;
    dm.paperSize = 9;
    return dm;
}

CPageSetting FitSetting(int across, int down)
{
    CPageSetting s;
    s.fitType = FIT;
    s.papers = {across, down};
    return s;
}

}  // namespace

class PrintTask : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // No CUPS server for these tests: the task's default printer is "PDF".
        setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", 1);
        SetLanguage(UiLanguage::Japanese);
    }

    void SetUp() override
    {
        task.ReplaceDevMode(A4DevMode());
        task.SetDeviceFactory([this](const CDevMode&) {
            auto device = std::make_unique<CRecordingPageDevice>(log);
            device->startDocResult = startDocResult;
            device->startPageResult = startPageResult;
            device->drawResult = drawResult;
            device->onDraw = onDraw;
            return device;
        });
        job.dib = capture;
        job.docName = "Quorvane: map";
        job.pageSetting = FitSetting(2, 2);
    }

    std::vector<int> PrintedPages() const
    {
        std::vector<int> pages;
        for (const CRect& src : log->sources)
            pages.push_back(PageOfSource(src));
        return pages;
    }

    void Run(uint32_t flags, int from, int to, int copies)
    {
        job.printSetting = {flags, from, to, copies};
        task.Execute(task.MakeJob(job));
    }

    static inline CDibSectionPtr capture = poster::MakeCapture();
    std::shared_ptr<CPageDeviceLog> log = std::make_shared<CPageDeviceLog>();
    int startDocResult = 7;
    int startPageResult = 1;
    bool drawResult = true;
    std::function<void(int)> onDraw;
    CQuorvaTask task;
    CPrintJob job;
};

TEST_F(PrintTask, AllPagesCollatedAndNot)
{
    Run(COLLATE, 1, 1, 2);
    EXPECT_FALSE(task.HasErr()) << task.GetErr().text;
    EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(log->Count("StartDoc"), 1);
    EXPECT_EQ(log->Count("EndDoc"), 1);

    log = std::make_shared<CPageDeviceLog>();
    Run(0, 1, 1, 2);
    EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(log->Count("StartDoc"), 1);
    EXPECT_EQ(log->Count("StartPage"), 8);
    EXPECT_EQ(log->Count("EndPage"), 8);
}

// The progress the worker publishes, as each sheet is drawn: the sheet being
// sent, the sheets finished, the job's total.
TEST_F(PrintTask, ProgressFollowsTheSheetsOfRangeAndCopies)
{
    std::vector<CPrintProgress::Values> seen;
    onDraw = [this, &seen](int) { seen.push_back(task.Progress().Read()); };
    // Pages 2 to 4 of 4, 2 copies not collated: 6 sheets.
    Run(USE_PAGENUMS, 2, 9, 2);
    ASSERT_EQ(seen.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(seen[i].sheet, i + 1);
        EXPECT_EQ(seen[i].sent, i);
        EXPECT_EQ(seen[i].total, 6);
    }
    EXPECT_EQ(task.Progress().Read().sent, 6);

    // A new job shows nothing of the last one until its first sheet.
    std::optional<CPrintProgress::Values> atStart;
    task.SetDeviceFactory([&](const CDevMode&) {
        atStart = task.Progress().Read();
        return std::make_unique<CRecordingPageDevice>(log);
    });
    Run(0, 1, 1, 1);
    ASSERT_TRUE(atStart);
    EXPECT_EQ(atStart->total, 0);
    EXPECT_EQ(atStart->sheet, 0);
}

TEST_F(PrintTask, PagesAreDrawnWhereTheGeometrySays)
{
    Run(0, 1, 1, 1);
    ASSERT_EQ(log->sources.size(), 4u);
    EXPECT_EQ(task.Grid(), (CPageGrid{{2, 2}, {500, 729}}));
    // A4 at 600 dpi with 10 mm margins: printable 236..4724 x 236..6780 dots
    // (4488 x 6544); the device's 5 mm hardware margins (118 dots) move the
    // origin, so tiles start at 236 - 118 = 118. The bottom row's 271 rows
    // are drawn 271 * 6544 / 729 = 2433 dots high.
    const CRect sources[] = {{0, 0, 500, 729}, {500, 0, 1000, 729}, {0, 729, 500, 1000}, {500, 729, 1000, 1000}};
    const CRect dests[] = {{118, 118, 4606, 6662}, {118, 118, 4606, 6662}, {118, 118, 4606, 2551}, {118, 118, 4606, 2551}};
    for (int page = 1; page <= 4; ++page) {
        EXPECT_EQ(log->sources[page - 1], sources[page - 1]) << "page " << page;
        EXPECT_EQ(log->dests[page - 1], dests[page - 1]) << "page " << page;
    }
    EXPECT_EQ(log->docName, "Quorvane: map");
}

TEST_F(PrintTask, RangesPrintAscendingAndStopAtTheTotal)
{
    Run(USE_PAGENUMS, 3, 2, 1);
    EXPECT_EQ(PrintedPages(), (std::vector<int>{2, 3}));

    log = std::make_shared<CPageDeviceLog>();
    Run(USE_PAGENUMS | COLLATE, 3, 9, 2);
    EXPECT_EQ(PrintedPages(), (std::vector<int>{3, 4, 3, 4}));
}

TEST_F(PrintTask, EmptyDocuments)
{
    // A range that starts beyond the total, and copies <= 0: started and
    // ended, no pages.
    for (auto [flags, from, to, copies] : {std::tuple{uint32_t(USE_PAGENUMS), 5, 9, 1}, std::tuple{0u, 1, 1, 0},
                                           std::tuple{uint32_t(COLLATE), 1, 1, -3}}) {
        log = std::make_shared<CPageDeviceLog>();
        Run(flags, from, to, copies);
        EXPECT_FALSE(task.HasErr());
        EXPECT_EQ(log->calls, (std::vector<std::string>{"StartDoc", "EndDoc"})) << from << " " << copies;
    }
}

TEST_F(PrintTask, PagesBeforeTheFirstAreNotPrinted)
{
    Run(USE_PAGENUMS, -2, 1, 1);
    EXPECT_EQ(PrintedPages(), (std::vector<int>{1}));
}

TEST_F(PrintTask, GridWithoutSheets)
{
    job.pageSetting.margin = {15000, 1000, 15000, 1000};
    Run(0, 1, 1, 1);
    EXPECT_EQ(task.GetErr().msgId, 58721u);
    EXPECT_NE(task.GetErr().text.find("m_papers is negative"), std::string::npos);
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(PrintTask, NoBitmap)
{
    job.dib.reset();
    Run(0, 1, 1, 1);
    EXPECT_EQ(task.GetErr().text, "内部エラー\n\nCQuorvaTask::BeginPrint\nm_dib is NULL");
}

TEST_F(PrintTask, DeviceFailures)
{
    task.SetDeviceFactory([](const CDevMode&) { return nullptr; });
    Run(0, 1, 1, 1);
    EXPECT_EQ(task.GetErr().msgId, 58975u);
    EXPECT_EQ(task.GetErr().text, "プリンタの取得に失敗しました");

    SetUp();
    startDocResult = -1;
    Run(0, 1, 1, 1);
    EXPECT_EQ(task.GetErr().msgId, 58976u);
    EXPECT_EQ(task.GetErr().text, "印刷の開始に失敗しました: document refused");
    EXPECT_EQ(log->calls, (std::vector<std::string>{"StartDoc"}));

    log = std::make_shared<CPageDeviceLog>();
    startDocResult = 7;
    startPageResult = 0;
    SetUp();
    Run(0, 1, 1, 1);
    EXPECT_EQ(task.GetErr().msgId, 58977u);
    EXPECT_EQ(log->calls, (std::vector<std::string>{"StartDoc", "StartPage", "AbortDoc"}));

    // A tile that cannot be drawn (its surface not allocated) is no blank sheet.
    log = std::make_shared<CPageDeviceLog>();
    startPageResult = 1;
    drawResult = false;
    SetUp();
    Run(0, 1, 1, 1);
    EXPECT_EQ(task.GetErr().msgId, 58945u);
    EXPECT_EQ(log->calls, (std::vector<std::string>{"StartDoc", "StartPage", "Draw", "AbortDoc"}));
}

TEST_F(PrintTask, PrinterThatCannotBeOpenedIsNamed)
{
    CQuorvaTask other("gone");
    EXPECT_FALSE(other.Printer());
    EXPECT_EQ(other.UnavailablePrinter(), "gone");
    try {
        other.CalcPagesForPrinter(FitSetting(1, 1), {100, 100});
        ADD_FAILURE() << "no error";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.Err().text, "プリンター gone を開けませんでした\n\nページ設定で別のプリンターを選べます");
    }
    // Still gone when Print tries it again; another printer ends the error.
    other.RetryUnavailablePrinter();
    EXPECT_EQ(other.UnavailablePrinter(), "gone");
    other.ReopenPrinter({"PDF"});
    EXPECT_TRUE(other.UnavailablePrinter().empty());
    EXPECT_EQ(other.CalcPagesForPrinter(FitSetting(1, 1), {100, 100}).TotalPages(), 1);
}

TEST_F(PrintTask, SettingsWithoutPaperSize)
{
    CDevMode dm = A4DevMode();
    dm.fields = DM_PAPERSIZE;
    task.ReplaceDevMode(dm);
    Run(0, 1, 1, 1);
    EXPECT_EQ(task.GetErr().msgId, 58978u);
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(PrintTask, ErrorIsClearedByTheNextRun)
{
    job.dib.reset();
    Run(0, 1, 1, 1);
    EXPECT_TRUE(task.HasErr());
    job.dib = capture;
    Run(0, 1, 1, 1);
    EXPECT_FALSE(task.HasErr());
}

TEST_F(PrintTask, PageCountForTheDialog)
{
    EXPECT_EQ(task.CalcPagesForPrinter(FitSetting(2, 2), {1000, 1000}).TotalPages(), 4);
    EXPECT_EQ(task.CalcPagesForPrinter(FitSetting(2, 2), {4000, 1000}).TotalPages(), 2);
}

TEST_F(PrintTask, AssemblySheetIsPageOneAndRangesCountIt)
{
    job.pageSetting.assembly.assemblySheet = true;
    Run(0, 1, 1, 1);
    EXPECT_FALSE(task.HasErr()) << task.GetErr().text;
    EXPECT_EQ(task.TotalPages(), 5);
    EXPECT_EQ(std::vector<std::string>(log->calls.begin(), log->calls.begin() + 6),
              (std::vector<std::string>{"StartDoc", "StartPage", "Paint", "EndPage", "StartPage", "Draw"}));
    EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3, 4}));

    log = std::make_shared<CPageDeviceLog>();
    Run(USE_PAGENUMS, 1, 1, 1);
    EXPECT_EQ(log->calls, (std::vector<std::string>{"StartDoc", "StartPage", "Paint", "EndPage", "EndDoc"}));

    // Pages 2 and 3 are the first two sheets.
    log = std::make_shared<CPageDeviceLog>();
    Run(USE_PAGENUMS, 2, 3, 1);
    EXPECT_EQ(log->Count("Paint"), 0);
    EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2}));
}

TEST_F(PrintTask, OverlappingTilesCarryTheirAids)
{
    // The recorder's A4 at 600 dpi has the printable 4488 x 6544 dots of the
    // geometry's worked example: tiles of 514 x 749 pixels, 487 x 722 apart.
    job.pageSetting.assembly = {1000, true, true, false};
    Run(0, 1, 1, 1);
    EXPECT_FALSE(task.HasErr()) << task.GetErr().text;
    EXPECT_EQ(log->sources, (std::vector<CRect>{{0, 0, 514, 749}, {487, 0, 1000, 749}, {0, 722, 514, 1000},
                                                {487, 722, 1000, 1000}}));
    EXPECT_EQ(log->Count("Paint"), 4);
    EXPECT_EQ(log->calls[3], "Paint");
    EXPECT_EQ(PosterPageCount(task.CalcPagesForPrinter(job.pageSetting, {1000, 1000}), job.pageSetting.assembly), 4);
}

TEST_F(PrintTask, JobKeepsTheSettingsItWasMadeWith)
{
    const CPrintJobPtr made = task.MakeJob(job);
    CDevMode a3 = A4DevMode();
    a3.paperSize = 8;
    task.ReplaceDevMode(a3);
    task.Execute(made);
    EXPECT_EQ(task.PaperInfo().paperWidth, 21000);
    // The task lets go of the job, and of its capture, at the end.
    EXPECT_EQ(made.use_count(), 1);
}
