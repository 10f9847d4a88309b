// Real printing: a private CUPS server with a cups-pdf queue receives the
// program's jobs, and the PDFs that come out are looked at.
#include "CupsTestServer.h"
#include "PdfCheck.h"
#include "PosterFixture.h"
#include "errors/StringTable.h"
#include "printing/QuorvaThread.h"

#include <cups/cups.h>
#include <gtest/gtest.h>
#include <glib/gstdio.h>

#include <chrono>
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
        if (!started)
            GTEST_SKIP() << "no private CUPS server: " << server->Why();
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
        thread.Task()->SetJob(PosterJob(across, down));
        EXPECT_TRUE(thread.Start());
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
    EXPECT_FALSE(CPrinter::Open("no-such-queue"));

    ASSERT_TRUE(server->RunTool({"lpadmin", "-d", CCupsTestServer::kQueue}));
    EXPECT_EQ(DefaultPrinterName(), CCupsTestServer::kQueue);
}

TEST_F(PrintCups, PosterArrivesAsFourA4PagesWithItsTiles)
{
    if (!HavePopplerTools())
        GTEST_SKIP() << "pdfinfo/pdftoppm not installed";
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
    for (int page = 1; page <= 4; ++page) {
        const auto image = RenderPdfPage(*output, page, 100);
        ASSERT_TRUE(image);
        for (const auto& failure :
             CheckPosterPage(*image, 100, page, thread.Task()->Grid(), thread.Task()->PaperInfo()))
            ADD_FAILURE() << failure;
    }
    // The filters kept the tiles as they were sent: no page-sized rasters.
    const auto images = PdfImageSizes(*output);
    ASSERT_TRUE(images);
    EXPECT_EQ(*images, (std::vector<CSize>{{500, 729}, {500, 729}, {500, 271}, {500, 271}}));
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
    thread.Task()->SetJob(PosterJob(2, 2, file));
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(thread.Wait(INFINITE));
    ASSERT_FALSE(thread.Task()->HasErr()) << thread.Task()->GetErr().text;
    const std::string written = ReadFile(file);
    g_unlink(file.c_str());
    g_rmdir(dir);
    g_free(dir);

    // Only the creation time may differ.
    const std::regex created(R"(/CreationDate \(D:[^)]*\))");
    EXPECT_EQ(std::regex_replace(written, created, ""), std::regex_replace(sent, created, ""));
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
    thread.Task()->SetJob(PosterJob(4, 4));
    ASSERT_TRUE(thread.Start());
    // The user-interface thread asks the job to stop while it starts.
    thread.Terminate(true);
    ASSERT_TRUE(thread.Wait(INFINITE));
    EXPECT_EQ(thread.Task()->GetErr().msgId, 58725u);
    const int jobId = server->LastJobId();
    ASSERT_GT(jobId, 0);
    EXPECT_EQ(server->WaitForJobEnd(jobId, 30), IPP_JSTATE_CANCELED);
    EXPECT_FALSE(server->OutputOfJob(jobId, 3));
}
