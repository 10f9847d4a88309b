// The print dialog as a person uses it: keys through the X server, the
// mouse's work done by mnemonics, OK and Cancel by Return and Escape.
#include "PrintDialogDriver.h"
#include "controls/GuiInput.h"
#include "errors/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "printing/PrintDlg.h"
#include "shell/CommandPrint.h"

#include <gtest/gtest.h>

using namespace guitest;

class PrintDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string&, unsigned) {
            messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override { CMessageBoxMsg::SetTestResponder(nullptr); }

    void Open(int total, const CSimplePrintSetting& setting)
    {
        dialog = std::make_unique<CPrintDlg>();
        dialog->SetTotalPages(total);
        dialog->SetPrintSetting(setting);
        dialog->InitDialog();
        dialog->Dialog().signal_response().connect([this](int response) { responses.push_back(response); });
        ASSERT_TRUE(ShowActive(dialog->Dialog()));
    }

    // Replaces the text of a box's edit field as a person would.
    void TypeInto(Gtk::ComboBoxText& box, const std::string& text)
    {
        box.get_entry()->grab_focus();
        Pump();
        Key("ctrl+a");
        Type(text);
    }

    int ItemCount(Gtk::ComboBoxText& box) { return box.get_model()->children().size(); }

    // Enter in a box presses the default button, which answers after its
    // pressed look (a quarter of a second): wait for the answer or the error.
    void PressEnter()
    {
        const size_t answers = responses.size() + messages.size();
        Key("Return");
        PumpUntil([&] { return responses.size() + messages.size() > answers; }, 10000);
    }

    std::unique_ptr<CPrintDlg> dialog;
    std::vector<std::string> messages;
    std::vector<int> responses;
};

TEST_F(PrintDlgTest, TextsAndTheClampedRange)
{
    Open(4, {USE_PAGENUMS, 2, 9, 1});
    EXPECT_EQ(dialog->Dialog().get_title(), "印刷");
    EXPECT_EQ(dialog->RangeText().get_text(), "1 ページから 4 ページまで");
    EXPECT_EQ(dialog->AllButton().get_label(), "すべて(_A)");
    EXPECT_TRUE(dialog->PagesButton().get_active());
    EXPECT_EQ(dialog->FromBox().get_entry()->get_text(), "2");
    EXPECT_EQ(dialog->ToBox().get_entry()->get_text(), "4");
    EXPECT_EQ(dialog->CopiesBox().get_entry()->get_text(), "1");
    EXPECT_FALSE(dialog->CollateBox().get_active());
    EXPECT_EQ(ItemCount(dialog->FromBox()), 4);
    EXPECT_EQ(ItemCount(dialog->CopiesBox()), 99);
}

TEST_F(PrintDlgTest, RangeBelowOneStartsAtOne)
{
    Open(4, {COLLATE, -3, 0, 2});
    EXPECT_TRUE(dialog->AllButton().get_active());
    EXPECT_TRUE(dialog->CollateBox().get_active());
    EXPECT_EQ(dialog->PrintSetting().pageFrom, 1);
    EXPECT_EQ(dialog->PrintSetting().pageTo, 1);
}

TEST_F(PrintDlgTest, ChoosingAllDisablesTheRangeAtOnce)
{
    Open(4, {USE_PAGENUMS, 1, 4, 1});
    EXPECT_TRUE(dialog->FromBox().is_sensitive());
    Key("alt+a");
    EXPECT_TRUE(dialog->AllButton().get_active());
    for (Gtk::Widget* w : std::initializer_list<Gtk::Widget*>{&dialog->FromBox(), &dialog->ToBox(),
                                                               &dialog->FromLabel(), &dialog->ToLabel()})
        EXPECT_FALSE(w->is_sensitive());
    EXPECT_EQ(dialog->PrintSetting().flags & USE_PAGENUMS, 0u);
    Key("alt+g");
    EXPECT_TRUE(dialog->ToBox().is_sensitive());
    EXPECT_TRUE(dialog->PrintSetting().flags & USE_PAGENUMS);
}

TEST_F(PrintDlgTest, LongGridListsNinetyNineButAcceptsItsLastPage)
{
    Open(150, {USE_PAGENUMS, 1, 1, 1});
    EXPECT_EQ(ItemCount(dialog->ToBox()), 99);
    TypeInto(dialog->ToBox(), "150");
    PressEnter();
    EXPECT_EQ(responses, std::vector<int>{IDOK});
    EXPECT_EQ(dialog->PrintSetting().pageTo, 150);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PrintDlgTest, PageBeyondTheGridIsRefusedOnOk)
{
    Open(150, {USE_PAGENUMS, 1, 1, 1});
    TypeInto(dialog->ToBox(), "151");
    PressEnter();
    EXPECT_TRUE(responses.empty());
    ASSERT_EQ(messages, std::vector<std::string>{"値が大きすぎます: 151"});
    EXPECT_TRUE(dialog->Dialog().get_visible());
    EXPECT_TRUE(dialog->ToBox().get_entry()->has_focus());
    EXPECT_EQ(dialog->PrintSetting().pageTo, 1);
}

TEST_F(PrintDlgTest, BadCopiesAreRefusedWithEitherRange)
{
    Open(4, {0, 1, 1, 1});
    TypeInto(dialog->CopiesBox(), "x2");
    PressEnter();
    EXPECT_TRUE(responses.empty());
    ASSERT_EQ(messages, std::vector<std::string>{"数値の書式が不正です: x2"});
    EXPECT_TRUE(dialog->CopiesBox().get_entry()->has_focus());
    TypeInto(dialog->CopiesBox(), "3");
    PressEnter();
    EXPECT_EQ(responses, std::vector<int>{IDOK});
    EXPECT_EQ(dialog->PrintSetting().copies, 3);
}

TEST_F(PrintDlgTest, RangeIsNotCheckedWhenAllPagesAreChosen)
{
    Open(4, {0, 1, 1, 1});
    EXPECT_FALSE(dialog->FromBox().is_sensitive());
    dialog->FromBox().get_entry()->set_text("99");
    dialog->CopiesBox().get_entry()->grab_focus();
    Pump();
    PressEnter();
    EXPECT_EQ(responses, std::vector<int>{IDOK});
    EXPECT_TRUE(messages.empty());
}

TEST_F(PrintDlgTest, GridWithoutSheetsOffersOnlyAllPages)
{
    Open(0, {USE_PAGENUMS, 1, 1, 1});
    EXPECT_EQ(dialog->RangeText().get_text(), "1 ページから 0 ページまで");
    EXPECT_EQ(ItemCount(dialog->FromBox()), 0);
    PressEnter();
    EXPECT_TRUE(responses.empty());
    EXPECT_EQ(messages.size(), 1u);
    Key("alt+a");
    EXPECT_TRUE(dialog->AllButton().get_active());
    dialog->CopiesBox().get_entry()->grab_focus();
    Pump();
    PressEnter();
    EXPECT_EQ(responses, std::vector<int>{IDOK});
}

// The modal dialog of the Print command: keys arrive while it runs.
class RunPrintDialogTest : public PrintDlgTest {
protected:
    void TearDown() override
    {
        m_fallback.disconnect();
        PrintDlgTest::TearDown();
    }
    sigc::connection m_fallback;

    void WhenShown(std::function<void()> keys) { RunInPrintDialog(std::move(keys), m_fallback); }
};

TEST_F(RunPrintDialogTest, CancelLeavesTheSettingUnchanged)
{
    CSimplePrintSetting setting{USE_PAGENUMS, 2, 3, 4};
    const CSimplePrintSetting stored = setting;
    WhenShown([] {
        Key("alt+o");
        Type("7");
        Key("alt+a");
        Key("Escape");
    });
    EXPECT_EQ(RunPrintDialog(4, setting, nullptr), IDCANCEL);
    EXPECT_EQ(setting, stored);
}

TEST_F(RunPrintDialogTest, OkReturnsTheEdits)
{
    CSimplePrintSetting setting{USE_PAGENUMS, 2, 3, 4};
    WhenShown([] {
        Key("alt+o");
        Key("alt+a");
        Key("Return");
    });
    EXPECT_EQ(RunPrintDialog(4, setting, nullptr), IDOK);
    EXPECT_EQ(setting, (CSimplePrintSetting{COLLATE, 2, 3, 4}));
}
