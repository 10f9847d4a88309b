// File > Page Setup as the program runs it: the command hands the settings
// to the real dialog and takes back only what OK confirms.
#include "printing/PageSetupDriver.h"
#include "browser/Capture.h"
#include "browser/ScrollViewWindow.h"
#include "controls/GuiInput.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "printing/job/QuorvaTask.h"
#include "printing/job/QuorvaThread.h"
#include "shell/CommandPageSetup.h"

#include <gtest/gtest.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/comboboxtext.h>

#include <stdexcept>

using namespace guitest;

class PageSetupCommand : public testing::Test {
protected:
    static void SetUpTestSuite() { g_setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", TRUE); }
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string&, unsigned) {
            messages.push_back(text);
            return IDOK;
        });
        ASSERT_TRUE(win.WaitShown());
        ASSERT_TRUE(win.Load("grid")) << win.Title();
    }
    void TearDown() override { CMessageBoxMsg::SetTestResponder(nullptr); }

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

    std::vector<std::string> messages;
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
