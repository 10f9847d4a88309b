// The print dialog as a person uses it: keys through the X server, the
// mouse's work done by mnemonics, OK and Cancel by Return and Escape.
#include "printing/PrintDialogDriver.h"
#include "controls/GuiInput.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "printing/dialogs/PrintDlg.h"
#include "shell/CommandPrint.h"

#include <gtest/gtest.h>

#include <utility>

using namespace guitest;

class PrintDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string&, unsigned) {
            messages.push_back(text);
            if (afterError)
                std::exchange(afterError, nullptr)();
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
        ASSERT_TRUE(ShowActive(dialog->Dialog()));
    }

    int ItemCount(Gtk::ComboBoxText& box) { return box.get_model()->children().size(); }

    std::unique_ptr<CPrintDlg> dialog;
    std::vector<std::string> messages;
    // Run once, when the next error box is answered.
    std::function<void()> afterError;
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

// OK inside the dialog's own modal run. A refused OK shows its error box,
// which is answered, and the dialog must still be running with the entries
// as the user left them.
class RefusedOkTest : public RunPrintDialogTest {
protected:
    int Run(int total, const CSimplePrintSetting& setting, std::function<void()> keys,
            std::function<void()> afterRefusal = nullptr)
    {
        dialog = std::make_unique<CPrintDlg>();
        dialog->SetTotalPages(total);
        dialog->SetPrintSetting(setting);
        if (maxCopies)
            dialog->SetMaxCopies(maxCopies);
        if (afterRefusal)
            afterError = [this, afterRefusal] { WhenShown(afterRefusal); };
        WhenShown(std::move(keys));
        return dialog->DoModal(nullptr);
    }
    int maxCopies = 0;  // the printer's limit; the dialog's own when 0
};

TEST_F(RefusedOkTest, PageBeyondTheGridKeepsTheDialogOpen)
{
    const int result = Run(
        150, {USE_PAGENUMS, 1, 1, 1},
        [] {
            Key("alt+t");
            Key("ctrl+a");
            Type("151");
            Key("Return");
        },
        [this] {
            EXPECT_EQ(messages, std::vector<std::string>{"値が大きすぎます: 151"});
            EXPECT_TRUE(dialog->ToBox().get_entry()->has_focus());
            EXPECT_EQ(dialog->ToBox().get_entry()->get_text(), "151");
            EXPECT_EQ(dialog->PrintSetting().pageTo, 1);
            Key("ctrl+a");
            Type("150");
            Key("Return");
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog->PrintSetting().pageTo, 150);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(RefusedOkTest, BadCopiesAreRefusedWithEitherRange)
{
    const int result = Run(
        4, {0, 1, 1, 1},
        [] {
            Key("alt+c");
            Key("ctrl+a");
            Type("abc");
            Key("Return");
        },
        [this] {
            EXPECT_EQ(messages, std::vector<std::string>{"数値の書式が不正です: abc"});
            EXPECT_TRUE(dialog->CopiesBox().get_entry()->has_focus());
            Key("ctrl+a");
            Type("3");
            Key("Return");
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog->PrintSetting().copies, 3);
}

// Copies stay within what the printer takes, 9999 when it does not say, and
// the message says how many that is.
TEST_F(RefusedOkTest, CopiesBeyondThePrinterAreRefusedNamingTheRange)
{
    const int unknown = Run(
        4, {0, 1, 1, 1},
        [] {
            Key("alt+c");
            Key("ctrl+a");
            Type("2147483647");
            Key("Return");
        },
        [this] {
            EXPECT_EQ(messages, std::vector<std::string>{"部数は 1 から 9999 までです: 2147483647"});
            Key("ctrl+a");
            Type("9999");
            Key("Return");
        });
    EXPECT_EQ(unknown, IDOK);
    EXPECT_EQ(dialog->PrintSetting().copies, 9999);

    messages.clear();
    maxCopies = 500;
    const int limited = Run(
        4, {0, 1, 1, 1},
        [] {
            Key("alt+c");
            Key("ctrl+a");
            Type("501");
            Key("Return");
        },
        [this] {
            EXPECT_EQ(messages, std::vector<std::string>{"部数は 1 から 500 までです: 501"});
            EXPECT_TRUE(dialog->CopiesBox().get_entry()->has_focus());
            Key("ctrl+a");
            Type("500");
            Key("Return");
        });
    EXPECT_EQ(limited, IDOK);
    EXPECT_EQ(dialog->PrintSetting().copies, 500);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(RefusedOkTest, GridWithoutSheetsOffersOnlyAllPages)
{
    const int result = Run(
        0, {USE_PAGENUMS, 1, 1, 1},
        [this] {
            EXPECT_EQ(dialog->RangeText().get_text(), "1 ページから 0 ページまで");
            EXPECT_EQ(ItemCount(dialog->FromBox()), 0);
            Key("Return");
        },
        [this] {
            EXPECT_EQ(messages.size(), 1u);
            Key("alt+a");
            Key("alt+c");
            Key("Return");
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog->PrintSetting().flags & USE_PAGENUMS, 0u);
}

TEST_F(RefusedOkTest, LongGridListsNinetyNineButAcceptsItsLastPage)
{
    const int result = Run(150, {USE_PAGENUMS, 1, 1, 1}, [this] {
        EXPECT_EQ(ItemCount(dialog->ToBox()), 99);
        Key("alt+t");
        Key("ctrl+a");
        Type("150");
        Key("Return");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog->PrintSetting().pageTo, 150);
    EXPECT_TRUE(messages.empty());
}

TEST_F(RefusedOkTest, RangeIsNotCheckedWhenAllPagesAreChosen)
{
    const int result = Run(4, {0, 1, 1, 1}, [this] {
        EXPECT_FALSE(dialog->FromBox().is_sensitive());
        dialog->FromBox().get_entry()->set_text("99");
        Key("alt+c");
        Key("Return");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(messages.empty());
}
