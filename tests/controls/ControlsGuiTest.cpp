#include "BoundSample.h"
#include "controls/GuiInput.h"

#include "controls/ButtonControls.h"
#include "controls/ComboBox4.h"
#include "controls/ComboBoxValue.h"
#include "controls/EditEx.h"
#include "controls/EditWantReturn.h"
#include "settings/MruStrings.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

using namespace guitest;

namespace {

// A dialog with a default button, an integer edit that asks to activate the
// default, and a second edit to take the focus.
class BoundEditGuiTest : public testing::Test {
protected:
    void SetUp() override
    {
        dialog.get_content_area()->pack_start(entry);
        dialog.get_content_area()->pack_start(other);
        // The button answers a moment after it is activated; its
        // activation is what Enter in an edit would start.
        dialog.add_button("OK", Gtk::RESPONSE_OK)->signal_activate().connect([this] { ++defaultActivations; });
        dialog.set_default_response(Gtk::RESPONSE_OK);
        entry.set_activates_default(true);
        dialog.signal_response().connect([this](int) { ++responses; });
        edit.Bind(entry, &sample, &CBoundSample::GetNumber, &CBoundSample::SetNumber);
        edit.SetMinimum(0);
        edit.AddListener(0, MakeFunctionListener([this](CEventSource&, intptr_t) { ++events; }));
        edit.ShowValue();
        ASSERT_TRUE(ShowActive(dialog));
        FocusAndSelectAll(entry);
    }

    // Runs the dialog's own modal loop with `keys` sent from inside it; a run
    // the keys did not end is cancelled after 15 s and fails the test.
    int RunWith(std::function<void()> keys)
    {
        Glib::signal_idle().connect_once(keys);
        sigc::connection fallback = Glib::signal_timeout().connect(
            [this] {
                ADD_FAILURE() << "the dialog was still running";
                dialog.response(Gtk::RESPONSE_CANCEL);
                return false;
            },
            15000);
        const int response = dialog.run();
        fallback.disconnect();
        return response;
    }

    CBoundSample sample;
    Gtk::Dialog dialog;
    Gtk::Entry entry;
    Gtk::Entry other;
    CEditWantReturnInt<CBoundSample> edit;
    int responses = 0;
    int defaultActivations = 0;
    int events = 0;
};

// In the dialog's modal run: Enter in an edit that asks to activate the
// default button commits the number first, then accepts the dialog.
TEST_F(BoundEditGuiTest, EnterCommitsThenAcceptsTheDialog)
{
    EXPECT_EQ(entry.get_text(), "10");
    int numberAtAccept = -1;
    dialog.signal_response().connect([this, &numberAtAccept](int) { numberAtAccept = sample.number; });
    const int response = RunWith([this] {
        Type("800");
        Key("Return");
    });
    EXPECT_EQ(response, Gtk::RESPONSE_OK);
    EXPECT_EQ(numberAtAccept, 800);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(defaultActivations, 1);
}

// An edit that asks for no default (the size bar's): Enter commits and is
// consumed, and the run goes on until Escape.
TEST_F(BoundEditGuiTest, EnterInAnEditWithoutADefaultOnlyCommits)
{
    entry.set_activates_default(false);
    const int response = RunWith([this] {
        Type("800");
        Key("Return");
        EXPECT_EQ(sample.number, 800);
        EXPECT_EQ(events, 1);
        Key("KP_Enter");
        EXPECT_EQ(events, 1);
        Key("Escape");
    });
    EXPECT_EQ(response, Gtk::RESPONSE_DELETE_EVENT);
    EXPECT_EQ(responses, 1);
    EXPECT_EQ(defaultActivations, 0);
}

TEST_F(BoundEditGuiTest, RefusedTextStaysAfterEnterAndRevertsOnFocusLoss)
{
    Type("-5");
    Key("Return");
    EXPECT_EQ(sample.number, 10);
    EXPECT_EQ(entry.get_text(), "-5");

    Key("Tab");
    EXPECT_TRUE(other.has_focus());
    EXPECT_EQ(entry.get_text(), "10");
    EXPECT_EQ(events, 0);
}

TEST_F(BoundEditGuiTest, FocusLossCommitsAndShowsTheValue)
{
    Type("12.9");
    Key("Tab");
    EXPECT_EQ(sample.number, 12);
    EXPECT_EQ(entry.get_text(), "12");
    EXPECT_EQ(events, 1);
}

struct CUrlOwner {
    std::string url;
    const std::string& GetUrl() const { return url; }
    void SetUrl(const std::string& v) { url = v; }
};

class StringComboGuiTest : public testing::Test {
protected:
    void SetUp() override
    {
        urls.Add("http://other.example/");
        urls.Add("http://abc.example/page");
        window.add(combo);
        box.Bind(combo, &owner, &CUrlOwner::GetUrl, &CUrlOwner::SetUrl, &urls);
        box.AddListener(0, MakeFunctionListener([this](CEventSource&, intptr_t) { ++events; }));
        ASSERT_TRUE(ShowActive(window));
    }

    CMruStrings urls;
    CUrlOwner owner;
    Gtk::Window window;
    Gtk::ComboBoxText combo{true};
    CComboBoxString<CUrlOwner, CMruStrings> box;
    int events = 0;
};

TEST_F(StringComboGuiTest, TypingTheStartOfAnItemDoesNotSelectIt)
{
    box.ShowValue();
    FocusAndSelectAll(*combo.get_entry());
    Type("http://abc");
    EXPECT_EQ(combo.get_active_row_number(), -1);
    EXPECT_EQ(owner.url, "http://abc");
    EXPECT_EQ(events, 10);  // one per keystroke
}

TEST_F(StringComboGuiTest, PickCommitsOnceTheSelectionIsFinal)
{
    combo.set_active(1);
    Pump();
    EXPECT_EQ(owner.url, "http://other.example/");
    EXPECT_EQ(combo.get_entry()->get_text(), "http://other.example/");
    EXPECT_EQ(events, 1);
}

TEST_F(StringComboGuiTest, ShowsAValueThatIsNoItemAsText)
{
    owner.url = "http://abc.example/";
    box.ShowValue();
    EXPECT_EQ(combo.get_active_row_number(), -1);
    EXPECT_EQ(combo.get_entry()->get_text(), "http://abc.example/");
    owner.url = "http://abc.example/page";
    box.ShowValue();
    EXPECT_EQ(combo.get_active_row_number(), 0);
    Pump();
    EXPECT_EQ(events, 0);
}

TEST(IntComboGuiTest, TypedTextIsCommittedAfterTheKeystrokeAndFlagsErrors)
{
    CBoundSample sample;
    Gtk::Window window;
    Gtk::ComboBoxText combo{true};
    window.add(combo);
    CComboBoxInt<CBoundSample> box;
    box.Bind(combo, &sample, &CBoundSample::GetNumber, &CBoundSample::SetNumber);
    box.SetItems({"72", "144"});
    box.SetMinimum(1);
    std::vector<intptr_t> states;
    box.AddListener(2, MakeFunctionListener([&](CEventSource&, intptr_t arg) { states.push_back(arg); }));
    box.ShowValue();
    ASSERT_TRUE(ShowActive(window));
    EXPECT_EQ(combo.get_entry()->get_text(), "10");

    FocusAndSelectAll(*combo.get_entry());
    Type("9");
    EXPECT_EQ(sample.number, 9);
    Type("x");
    EXPECT_EQ(sample.number, 9);
    EXPECT_EQ(box.LastErr().msgId, 58734u);
    combo.set_active(1);
    EXPECT_EQ(sample.number, 144);  // a pick commits at once
    EXPECT_EQ(states, (std::vector<intptr_t>{58734, 0}));
    EXPECT_THROW(box.Commit(-1, "0", true), my::CCtrlException);
}

TEST(RadioGroupGuiTest, OutOfRangeValueChecksNoButtonAndAClickCommits)
{
    CBoundSample sample;
    sample.choice = 5;
    Gtk::Window window;
    Gtk::Box column(Gtk::ORIENTATION_VERTICAL);
    Gtk::RadioButton first("a"), second("b"), third("c");
    second.join_group(first);
    third.join_group(first);
    for (auto* button : {&first, &second, &third})
        column.pack_start(*button);
    window.add(column);
    CRadioGroupInt<CBoundSample> group;
    group.Bind({&first, &second, &third}, &sample, &CBoundSample::GetChoice, &CBoundSample::SetChoice);
    int events = 0;
    group.AddListener(0, MakeFunctionListener([&](CEventSource&, intptr_t) { ++events; }));
    group.ShowValue();
    ASSERT_TRUE(ShowActive(window));
    EXPECT_FALSE(first.get_active() || second.get_active() || third.get_active());
    EXPECT_EQ(events, 0);

    second.clicked();
    EXPECT_EQ(sample.choice, 1);
    EXPECT_EQ(events, 1);
    sample.choice = 2;
    group.ShowValue();
    EXPECT_TRUE(third.get_active());
    EXPECT_EQ(events, 1);
}

TEST(ButtonBoolGuiTest, ClickWritesTheStateAndFiresOnce)
{
    CBoundSample sample;
    Gtk::CheckButton check("x");
    CButtonBool<CBoundSample> button;
    button.Bind(check, &sample, &CBoundSample::GetFlag, &CBoundSample::SetFlag);
    int events = 0;
    button.AddListener(0, MakeFunctionListener([&](CEventSource&, intptr_t) { ++events; }));
    check.clicked();
    EXPECT_TRUE(sample.flag);
    EXPECT_EQ(events, 1);
    check.clicked();
    EXPECT_FALSE(sample.flag);
    EXPECT_EQ(events, 2);
    sample.flag = true;
    button.ShowValue();
    EXPECT_TRUE(check.get_active());
    EXPECT_EQ(events, 2);
}

TEST(EditExGuiTest, ReportsKeysAndHidesTheHintOnceThereIsText)
{
    Gtk::Window window;
    Gtk::Entry entry, other;
    Gtk::Box row;
    row.pack_start(other);
    row.pack_start(entry);
    window.add(row);
    CEditEx edit;
    edit.Bind(entry);
    edit.SetHintImage(Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, 8, 8));
    std::vector<intptr_t> keys, chars;
    edit.AddListener(CEditEx::EventKeyDown, MakeFunctionListener([&](CEventSource&, intptr_t k) { keys.push_back(k); }));
    edit.AddListener(CEditEx::EventChar, MakeFunctionListener([&](CEventSource&, intptr_t c) { chars.push_back(c); }));
    ASSERT_TRUE(ShowActive(window));
    other.grab_focus();
    Pump();
    EXPECT_TRUE(edit.HintShown());

    entry.grab_focus();
    Type("a");
    EXPECT_EQ(entry.get_text(), "a");
    EXPECT_EQ(keys, (std::vector<intptr_t>{GDK_KEY_a}));
    EXPECT_EQ(chars, (std::vector<intptr_t>{'a'}));
    other.grab_focus();
    Pump();
    EXPECT_FALSE(edit.HintShown());
}

}  // namespace
