// The page setup dialog's keys and printer choice as a person meets them:
// Enter wherever the focus is, margins as they are typed, a printer that
// cannot be opened, and no printer at all.
#include "printing/CupsTestServer.h"
#include "printing/PageSetupFixture.h"
#include "printing/job/TaskPrinterChoice.h"
#include "printing/job/QuorvaThread.h"
#include "settings/Setting.h"
#include "shell/CommandPageSetup.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

using namespace guitest;

namespace {

constexpr const char* kNoServer = "/nonexistent/qv-test/cups.sock";

bool PopupShown(Gtk::ComboBox& box)
{
    gboolean shown = FALSE;
    g_object_get(box.gobj(), "popup-shown", &shown, nullptr);
    return shown;
}

}  // namespace

// Enter accepts the dialog: at once (the focus is on the printer list,
// closed) and on a radio button. An open list takes Enter for its choice and
// the dialog stays. (Enter in a margin: the next test.)
TEST_F(PageSetupDlgTest, EnterAcceptsWhereverTheFocusIs)
{
    Make();
    int result = Run([this] {
        Gtk::Widget* focus = dialog->Dialog().get_focus();
        EXPECT_TRUE(focus && focus->is_ancestor(Box(CPageSetupDlg::IDC_PRINTER)));
        Key("Return");
    });
    EXPECT_EQ(result, IDOK);

    Make();
    result = Run([] {
        Key("alt+a");
        Key("Return");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog->Paper().DevMode().orientation, DMORIENT_LANDSCAPE);

    Make();
    int responses = 0;
    result = Run([&] {
        dialog->Dialog().signal_response().connect([&](int) { ++responses; });
        Gtk::ComboBoxText& papers = Box(CPageSetupDlg::IDC_PAPER);
        Key("alt+z");
        Key("alt+Down");
        ASSERT_TRUE(PumpUntil([&] { return PopupShown(papers); }, 10000));
        Key("Home");
        Key("Return");
        ASSERT_TRUE(PumpUntil([&] { return !PopupShown(papers); }, 10000));
        EXPECT_EQ(responses, 0);
        EXPECT_TRUE(ShownPageSetupDialog());
        // The "PDF" list starts with A3.
        EXPECT_EQ(dialog->Paper().DevMode().media, "iso_a3_297x420mm");
        Key("Return");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(messages.empty());
}

// The preview follows a margin as it is typed; a margin that is no number
// is reported on OK, with the focus on it, and the dialog stays open.
TEST_F(PageSetupDlgTest, MarginsReachThePreviewAsTypedAndBadOnesAreReported)
{
    Make();
    const int result = Run([this] {
        ASSERT_TRUE(PreviewHasBitmap());
        auto& left = dynamic_cast<Gtk::Entry&>(dialog->Control(1155));
        auto& top = dynamic_cast<Gtk::Entry&>(dialog->Control(1156));
        FocusAndSelectAll(left);
        Type("25");
        EXPECT_TRUE(PumpUntil([&] { return dialog->Preview().PaperInfo().margin.left == 2500; }, 10000));
        EXPECT_EQ(left.get_text(), "25");
        FocusAndSelectAll(top);
        Type("abc");
        dialog->Control(IDOK).grab_focus();
        Key("Return");
        ASSERT_TRUE(PumpUntil([&] { return !messages.empty(); }, 10000));
        EXPECT_EQ(messages, std::vector<std::string>{"数値の書式が不正です: abc"});
        EXPECT_TRUE(top.has_focus());
        EXPECT_TRUE(ShownPageSetupDialog());
        top.select_region(0, -1);
        Type("5");
        Key("Return");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog->Paper().Margin(), (CRect{2500, 500, 1000, 1000}));
    EXPECT_EQ(messages.size(), 1u);
}

// The default printer could not be opened: the command still shows the
// dialog, on the last printer's paper (else A4), and another printer can
// be chosen there.
TEST_F(PageSetupDlgTest, WithoutAPrinterAnotherOneCanBeChosen)
{
    CQuorvaThread thread("qv-gone");
    ASSERT_FALSE(thread.Task()->Printer());
    CSetting setting;
    CCommandPageSetup command(&TheMsg(), setting, thread, AtOnce([this] { return CPreviewCapture(capture); }), nullptr);
    auto runCommand = [&](std::function<void()> steps) {
        RunPageSetup(
            [&] {
                command.RunAndReport(true, false);
                return 0;
            },
            std::move(steps));
    };
    auto shown = [](const char* id) -> Gtk::Widget& { return *FindBuilderId(*ShownPageSetupDialog(), id); };

    runCommand([&] {
        EXPECT_EQ(dynamic_cast<Gtk::ComboBoxText&>(shown("combo1137")).get_active_text(), "A4");
        Key("Escape");
    });

    setting.printerChoice = CPrinterChoice{"qv-gone", "iso_a3_297x420mm", DMORIENT_LANDSCAPE, ""};
    runCommand([&] {
        auto& printers = dynamic_cast<Gtk::ComboBoxText&>(shown("combo163"));
        EXPECT_EQ(printers.get_active_row_number(), -1);
        EXPECT_EQ(dynamic_cast<Gtk::ComboBoxText&>(shown("combo1137")).get_active_text(), "A3");
        EXPECT_TRUE(dynamic_cast<Gtk::RadioButton&>(shown("radio1057")).get_active());
        Key("alt+p");
        Key("Down");
        EXPECT_TRUE(PumpUntil([&] { return printers.get_active_id() == kPdfPrinterName; }, 10000));
        Key("Return");
    });
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(thread.Task()->Printer());
    EXPECT_EQ(thread.Task()->Printer()->Name(), kPdfPrinterName);
    EXPECT_EQ(setting.printerChoice, (CPrinterChoice{"PDF", "iso_a3_297x420mm", DMORIENT_LANDSCAPE, ""}));
    EXPECT_EQ(PrintDestinationText(*thread.Task()), "プリンタ: PDF　用紙: A3 横");
}

// A printer listed when the dialog opened and removed since: choosing it
// names it, and the printer before stays chosen.
TEST_F(PageSetupDlgTest, APrinterThatCannotBeOpenedIsNamed)
{
    CCupsTestServer server;
    if (!server.Start()) {
        if (server.Unavailable())
            GTEST_SKIP() << "no private CUPS server: " << server.Why();
        FAIL() << "the private CUPS server failed: " << server.Why();
    }
    Make();
    Run([&] {
        Gtk::ComboBoxText& printers = Box(CPageSetupDlg::IDC_PRINTER);
        ASSERT_EQ(printers.get_active_id(), kPdfPrinterName);
        ASSERT_TRUE(server.RunTool({"lpadmin", "-x", CCupsTestServer::kQueue}));
        // The queue is listed before "PDF".
        Key("alt+p");
        Key("Up");
        EXPECT_TRUE(PumpUntil([&] { return !messages.empty(); }, 10000));
        EXPECT_EQ(messages, std::vector<std::string>{"プリンター qvpdf を開けませんでした"});
        EXPECT_EQ(printers.get_active_id(), kPdfPrinterName);
        EXPECT_EQ(dialog->Paper().Printer()->Name(), kPdfPrinterName);
        Key("Escape");
    });
    server.Stop();
    g_setenv("CUPS_SERVER", kNoServer, TRUE);
    cupsSetServer(kNoServer);
}
