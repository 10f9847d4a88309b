// The page setup dialog's keys and printer choice as a person meets them:
// Enter wherever the focus is, margins as they are typed.
#include "PageSetupFixture.h"

#include <gtest/gtest.h>

using namespace guitest;

namespace {

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
