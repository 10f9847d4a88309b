// File > Page Setup as the program runs it: the command hands the settings
// to the real dialog and takes back only what OK confirms.
#include "printing/PageSetupFixture.h"
#include "browser/Capture.h"
#include "browser/ScrollViewWindow.h"
#include "controls/GuiInput.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "printing/job/QuorvaTask.h"
#include "printing/job/TaskPrinterChoice.h"
#include "printing/job/QuorvaThread.h"
#include "shell/CommandPageSetup.h"

#include <gtest/gtest.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/comboboxtext.h>

#include <atomic>
#include <cstring>
#include <stdexcept>

using namespace guitest;

// The command with the real browser and the print task, over the dialog's
// own fixture (messages answered and kept, the dialog's helpers).
class PageSetupCommand : public PageSetupDlgTest {
protected:
    void SetUp() override
    {
        PageSetupDlgTest::SetUp();
        ASSERT_TRUE(win.WaitShown());
        ASSERT_TRUE(win.Load("grid")) << win.Title();
    }

    void RunCommand(std::function<void()> steps)
    {
        RunPageSetup(
            [this] {
                command.RunAndReport(true, false);
                return 0;
            },
            std::move(steps));
    }
    template <class W>
    W& Shown(const std::string& id)
    {
        Gtk::Widget* found = FindBuilderId(*ShownPageSetupDialog(), id);
        if (!found)
            throw std::runtime_error("no control " + id);
        return dynamic_cast<W&>(*found);
    }
    void Ok()
    {
        Shown<Gtk::Button>("ok").grab_focus();
        Key("Return");
    }

    ScrollViewWindow win{{600, 400}, {700, 500}};
    CQuorvaThread thread;
    CCommandPageSetup command{&TheMsg(), win.setting, thread, PreviewCaptureOf(*win.view, [] { return true; }),
                              [this](const CSize& size) { win.view->SetTrimmedContentSize(size.cx, size.cy); }};
};

// The dialog opens with the stored aids; OK stores what was changed.
TEST_F(PageSetupCommand, TheAidsAreLoadedAndStored)
{
    win.setting.pageSetting.assembly = {1500, true, false, true};
    RunCommand([this] {
        EXPECT_EQ(std::string(Shown<Gtk::Entry>("editOverlap").get_text()), "15.0");
        EXPECT_TRUE(Shown<Gtk::CheckButton>("checkCutGuides").get_active());
        EXPECT_FALSE(Shown<Gtk::CheckButton>("checkSheetLabels").get_active());
        EXPECT_TRUE(Shown<Gtk::CheckButton>("checkAssemblySheet").get_active());
        // Text that is no number is refused, not dropped.
        Gtk::Entry& overlap = Shown<Gtk::Entry>("editOverlap");
        FocusAndSelectAll(overlap);
        Type("abc");
        Ok();
        ASSERT_TRUE(PumpUntil([&] { return !messages.empty(); }, 10000));
        EXPECT_EQ(messages, std::vector<std::string>{"数値の書式が不正です: abc"});
        EXPECT_TRUE(overlap.has_focus());
        FocusAndSelectAll(overlap);
        Type("7");
        Shown<Gtk::CheckButton>("checkSheetLabels").grab_focus();
        Key("space");
        Shown<Gtk::CheckButton>("checkAssemblySheet").grab_focus();
        Key("space");
        Ok();
    });
    EXPECT_EQ(win.setting.pageSetting.assembly, (CAssemblySetting{700, true, true, false}));
    EXPECT_EQ(messages.size(), 1u);
}

// Cancel after another paper, orientation, margin, sheets and aids: the
// settings, the stored printer choice and the task's paper stay as they were.
TEST_F(PageSetupCommand, CancelAfterChangesKeepsEverything)
{
    win.setting.pageSetting.assembly = {1000, true, true, true};
    const CPageSetting pageBefore = win.setting.pageSetting;
    const CDevMode devBefore = *thread.Task()->CopyDevMode();
    RunCommand([this] {
        const std::string paper = Shown<Gtk::ComboBoxText>("combo1137").get_active_text();
        Key("alt+z");
        Key("Up");
        EXPECT_NE(Shown<Gtk::ComboBoxText>("combo1137").get_active_text(), paper);
        Key("alt+a");
        EXPECT_TRUE(Shown<Gtk::RadioButton>("radio1057").get_active()) << "landscape";
        FocusAndSelectAll(Shown<Gtk::Entry>("edit1155"));
        Type("12.34");
        FocusAndSelectAll(*Shown<Gtk::ComboBoxText>("combo158").get_entry());
        Type("3");
        Shown<Gtk::CheckButton>("checkCutGuides").grab_focus();
        Key("space");
        EXPECT_FALSE(Shown<Gtk::CheckButton>("checkCutGuides").get_active());
        Key("Escape");
    });
    EXPECT_EQ(win.setting.pageSetting, pageBefore);
    EXPECT_FALSE(win.setting.printerChoice);
    EXPECT_EQ(*thread.Task()->CopyDevMode(), devBefore);
    EXPECT_EQ(win.setting.width, 600);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PageSetupCommand, FittingTheBrowserToTwoSheetsThenCancelKeepsOnlyTheNewSize)
{
    const CDevMode before = *thread.Task()->CopyDevMode();
    RunCommand([this] {
        FocusAndSelectAll(*Shown<Gtk::ComboBoxText>("combo158").get_entry());
        Type("2");
        Shown<Gtk::Button>("button161").grab_focus();
        Key("space");
        // Two A4 sheets side by side, printable 2244 x 3272 dots each: the
        // 600 x 400 capture grows to 600 x 437 (4488 : 3272).
        EXPECT_TRUE(PumpUntil([&] { return win.setting.height == 437; }, 10000)) << win.setting.height;
        EXPECT_EQ(win.setting.width, 600);
        Key("Escape");
    });
    EXPECT_EQ(win.setting.height, 437);
    EXPECT_EQ(win.setting.pageSetting, CPageSetting{});
    EXPECT_FALSE(win.setting.printerChoice);
    EXPECT_EQ(*thread.Task()->CopyDevMode(), before);
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(win.Resize({600, 437}, "grid"));
    const CDibSectionPtr dib = Capture(*win.view);
    ASSERT_TRUE(dib);
    // The shape of the two sheets' printable area, to a pixel.
    EXPECT_EQ(dib->Width(), 600);
    EXPECT_NEAR(dib->Height(), 600.0 * 3272 / 4488, 1.0);
}

// The real browser captured by the program's preview capture: rendered on the
// user-interface thread without a loop of its own, compared and made into
// the bitmap on the dialog's worker. The preview gets the very pixels of an
// ordinary capture, and the same page captured again is dropped without a
// bitmap being made for it.
TEST_F(PageSetupCommand, ThePreviewShowsTheCaptureMadeOnTheWorker)
{
    int captured = 0;
    std::atomic<int> converted = 0;
    const CPageSetupDlg::CaptureFunction program = PreviewCaptureOf(*win.view, nullptr);
    dialog = std::make_unique<CPageSetupDlg>(
        PdfPaper(), CFitImageToPageSetting{},
        [&](GCancellable* cancellable, CPageSetupDlg::CaptureDone done) {
            ++captured;
            program(cancellable, [&converted, done](CPreviewCapture capture, std::exception_ptr error) {
                if (capture.finish)
                    capture.finish = [finish = capture.finish, &converted] {
                        ++converted;
                        return finish();
                    };
                done(std::move(capture), error);
            });
        },
        nullptr);
    CDibSectionPtr shown;
    Run([&] {
        ASSERT_TRUE(PreviewHasBitmap());
        shown = dialog->Preview().Bitmap();
        EXPECT_TRUE(PumpUntil([&] { return captured >= 3; }, 10000));
        Key("Escape");
    });
    EXPECT_EQ(converted, 1);
    EXPECT_EQ(dialog->Preview().Bitmap(), shown);
    ASSERT_TRUE(shown);
    const CDibSectionPtr direct = Capture(*win.view);
    ASSERT_TRUE(direct);
    ASSERT_EQ(shown->Width(), direct->Width());
    ASSERT_EQ(shown->Height(), direct->Height());
    ASSERT_EQ(shown->ImageSize(), direct->ImageSize());
    EXPECT_EQ(std::memcmp(shown->Bits(), direct->Bits(), direct->ImageSize()), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PageSetupCommand, OkGivesThePaperToTheTaskAndTheSettings)
{
    RunCommand([this] {
        Key("alt+z");
        Key("Up");  // A3
        Key("alt+a");  // landscape
        FocusAndSelectAll(*Shown<Gtk::ComboBoxText>("combo158").get_entry());
        Type("2");
        FocusAndSelectAll(*Shown<Gtk::ComboBoxText>("combo159").get_entry());
        Type("2");
        FocusAndSelectAll(Shown<Gtk::Entry>("edit1155"));
        Type("12.34");
        Shown<Gtk::Button>("ok").grab_focus();
        Key("Return");
    });
    EXPECT_EQ(win.setting.pageSetting.papers, (CSize{2, 2}));
    EXPECT_EQ(win.setting.pageSetting.margin, (CRect{1234, 1000, 1000, 1000}));
    EXPECT_EQ(win.setting.printerChoice, (CPrinterChoice{"PDF", "iso_a3_297x420mm", DMORIENT_LANDSCAPE, ""}));
    EXPECT_EQ(thread.Task()->CopyDevMode()->media, "iso_a3_297x420mm");
    EXPECT_EQ(thread.Task()->CopyDevMode()->orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(PrintDestinationText(*thread.Task()), "プリンタ: PDF　用紙: A3 横");
}
