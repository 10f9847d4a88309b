#include "printing/job/TaskPrinterChoice.h"
#include "printing/job/QuorvaTask.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Without a CUPS server the task starts on the built-in "PDF" destination.
class PrinterChoiceTest : public testing::Test {
protected:
    static void SetUpTestSuite() { setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", 1); }
};

TEST_F(PrinterChoiceTest, AStoredChoiceSelectsPrinterPaperAndOrientation)
{
    CQuorvaTask task;
    ApplyPrinterChoice(task, {"PDF", "iso_a3_297x420mm", DMORIENT_LANDSCAPE, ""});
    ASSERT_TRUE(task.CopyDevMode());
    EXPECT_EQ(task.CopyDevMode()->media, "iso_a3_297x420mm");
    EXPECT_EQ(task.CopyDevMode()->orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(PrinterChoiceOf(task), (CPrinterChoice{"PDF", "iso_a3_297x420mm", DMORIENT_LANDSCAPE, ""}));
}

TEST_F(PrinterChoiceTest, AMissingPrinterFallsBackToTheDefaultSilently)
{
    CQuorvaTask task;
    const auto before = PrinterChoiceOf(task);
    ApplyPrinterChoice(task, {"printer-that-was-removed", "iso_a3_297x420mm", DMORIENT_LANDSCAPE, "tray-9"});
    EXPECT_EQ(PrinterChoiceOf(task), before);
    EXPECT_EQ(task.Printer()->Name(), "PDF");
}

TEST_F(PrinterChoiceTest, AnUnknownPaperOrSourceKeepsThePrintersOwn)
{
    CQuorvaTask task;
    ApplyPrinterChoice(task, {"PDF", "no_such_paper", DMORIENT_LANDSCAPE, "tray-9"});
    EXPECT_EQ(PrinterChoiceOf(task), (CPrinterChoice{"PDF", "iso_a4_210x297mm", DMORIENT_LANDSCAPE, ""}));
}
