#include "controls/GuiInput.h"

#include "browser/QuorvaneView.h"
#include "errors/StringTable.h"
#include "shell/BarDlg.h"

#include <gtest/gtest.h>

#include <memory>

using namespace guitest;

namespace {

// The size bar above a real web view in a scrolled window; the owner's hooks
// resize the view and count the trim changes, as the main frame's do.
class BarDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        setting.width = 640;
        setting.height = 480;
        setting.trim.left = 3;
        bar = std::make_unique<CBarDlg>(setting);
        bar->onBrowserSizeChanged = [this] {
            ++sizeChanges;
            view.Widget().set_size_request(setting.width, setting.height);
        };
        bar->onTrimChanged = [this] { ++trimChanges; };
        view.Widget().set_size_request(setting.width, setting.height);
        scroller.set_size_request(400, 300);
        scroller.add(view.Widget());
        column.pack_start(*bar, Gtk::PACK_SHRINK);
        column.pack_start(scroller);
        window.add(column);
        ASSERT_TRUE(ShowActive(window));
    }

    Gtk::Entry& Edit(int id) { return bar->Edit(id); }

    void Enter(int id, const std::string& text, const std::string& key)
    {
        FocusAndSelectAll(Edit(id));
        Type(text);
        Key(key);
    }

    CSetting setting;
    CQuorvaneView view;
    Gtk::Window window;
    Gtk::Box column{Gtk::ORIENTATION_VERTICAL};
    Gtk::ScrolledWindow scroller;
    std::unique_ptr<CBarDlg> bar;
    int sizeChanges = 0;
    int trimChanges = 0;
};

TEST_F(BarDlgTest, ShowsTheSettingsInVisualOrder)
{
    std::vector<std::string> shown;
    for (Gtk::Widget* child : bar->get_children()) {
        if (auto* label = dynamic_cast<Gtk::Label*>(child))
            shown.push_back(label->get_text());
        else if (auto* entry = dynamic_cast<Gtk::Entry*>(child))
            shown.push_back("[" + entry->get_text() + "]");
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"[640]", "×", "[480]", "左:", "[3]", "右:", "[0]", "上:", "[0]", "下:", "[0]"}));
    EXPECT_EQ(&Edit(CBarDlg::IDC_TRIM_LEFT), bar->get_children()[4]);
    EXPECT_EQ(&Edit(CBarDlg::IDC_TRIM_RIGHT), bar->get_children()[6]);
    EXPECT_EQ(&Edit(CBarDlg::IDC_TRIM_TOP), bar->get_children()[8]);
    EXPECT_EQ(&Edit(CBarDlg::IDC_TRIM_BOTTOM), bar->get_children()[10]);
}

TEST_F(BarDlgTest, WidthEnterResizesTheBrowserAtOnce)
{
    Enter(CBarDlg::IDC_WIDTH, "800", "Return");
    EXPECT_EQ(setting.width, 800);
    EXPECT_EQ(sizeChanges, 1);
    int width = 0, height = 0;
    view.Widget().get_size_request(width, height);
    EXPECT_EQ(width, 800);
    EXPECT_TRUE(PumpUntil([&] { return view.Widget().get_allocated_width() == 800; }));
    EXPECT_EQ(view.Widget().get_allocated_height(), 480);
    EXPECT_TRUE(Edit(CBarDlg::IDC_WIDTH).has_focus());

    Key("Return");
    EXPECT_EQ(sizeChanges, 1);
}

TEST_F(BarDlgTest, LettersOrALeadingSpaceRevertWhenTheFocusLeaves)
{
    Enter(CBarDlg::IDC_WIDTH, "abc", "Tab");
    EXPECT_TRUE(Edit(CBarDlg::IDC_HEIGHT).has_focus());
    EXPECT_EQ(Edit(CBarDlg::IDC_WIDTH).get_text(), "640");

    Enter(CBarDlg::IDC_WIDTH, " 800", "Tab");
    EXPECT_EQ(Edit(CBarDlg::IDC_WIDTH).get_text(), "640");
    EXPECT_EQ(setting.width, 640);
    EXPECT_EQ(sizeChanges, 0);
}

TEST_F(BarDlgTest, TrimRefusesNegativeAndTakesZero)
{
    Enter(CBarDlg::IDC_TRIM_LEFT, "-5", "Tab");
    EXPECT_EQ(setting.trim.left, 3);
    EXPECT_EQ(Edit(CBarDlg::IDC_TRIM_LEFT).get_text(), "3");
    EXPECT_TRUE(Edit(CBarDlg::IDC_TRIM_RIGHT).has_focus());

    Enter(CBarDlg::IDC_TRIM_LEFT, "0", "Return");
    EXPECT_EQ(setting.trim.left, 0);
    EXPECT_EQ(trimChanges, 1);
    EXPECT_EQ(sizeChanges, 0);
    EXPECT_EQ(view.Widget().get_allocated_width(), 640);
}

TEST_F(BarDlgTest, FractionIsDroppedAndEachTrimHasItsSetting)
{
    Enter(CBarDlg::IDC_HEIGHT, "640.5", "Return");
    EXPECT_EQ(setting.height, 640);
    Enter(CBarDlg::IDC_TRIM_TOP, "11", "Tab");
    Enter(CBarDlg::IDC_TRIM_RIGHT, "12", "Tab");
    Enter(CBarDlg::IDC_TRIM_BOTTOM, "13", "Tab");
    EXPECT_EQ(setting.trim, (CRect{3, 11, 12, 13}));
    EXPECT_EQ(trimChanges, 3);
    EXPECT_EQ(sizeChanges, 1);
}

TEST_F(BarDlgTest, RefreshShowsSettingsChangedElsewhere)
{
    setting.width = 1000;
    setting.height = 700;
    setting.trim = CRect{1, 2, 3, 4};
    bar->RefreshSizeFields();
    EXPECT_EQ(Edit(CBarDlg::IDC_WIDTH).get_text(), "1000");
    EXPECT_EQ(Edit(CBarDlg::IDC_HEIGHT).get_text(), "700");
    EXPECT_EQ(Edit(CBarDlg::IDC_TRIM_LEFT).get_text(), "3");
    bar->RefreshTrimFields();
    EXPECT_EQ(Edit(CBarDlg::IDC_TRIM_LEFT).get_text(), "1");
    EXPECT_EQ(Edit(CBarDlg::IDC_TRIM_TOP).get_text(), "2");
    EXPECT_EQ(Edit(CBarDlg::IDC_TRIM_RIGHT).get_text(), "3");
    EXPECT_EQ(Edit(CBarDlg::IDC_TRIM_BOTTOM).get_text(), "4");
    EXPECT_EQ(sizeChanges + trimChanges, 0);
}

}  // namespace
