#include "BoundSample.h"

#include "controls/ChoiceBinding.h"
#include "controls/ComboBinding.h"
#include "controls/ItemSearch.h"
#include "controls/ValueComboBinding.h"
#include "errors/StringTable.h"
#include "settings/MruStrings.h"

#include <gtest/gtest.h>

namespace {

using CStringCombo = CComboBinding<CBoundSample, CMruStrings, CSameTextValue, const std::string&>;

class ComboBindingTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* url : {"https://c.example/", "https://b.example/", "https://a.example/page"})
            items.Add(url);
        combo.BindValue(&sample, &CBoundSample::GetText, &CBoundSample::SetText, &items);
        combo.AddListener(CStringCombo::EventChanged, MakeFunctionListener([this](CEventSource&, intptr_t) { ++events; }));
    }

    CBoundSample sample;
    CMruStrings items;
    CStringCombo combo;
    int events = 0;
};

TEST_F(ComboBindingTest, SelectedItemIsTheInput)
{
    EXPECT_TRUE(combo.Commit(1, "ignored"));
    EXPECT_EQ(sample.text, "https://b.example/");
    EXPECT_EQ(events, 1);
}

TEST_F(ComboBindingTest, EditTextIsTrimmedWhenNoItemIsSelected)
{
    EXPECT_TRUE(combo.Commit(-1, "  https://d.example/\t"));
    EXPECT_EQ(sample.text, "https://d.example/");
    EXPECT_FALSE(combo.Commit(-1, "https://d.example/ "));
    EXPECT_EQ(events, 1);
}

TEST_F(ComboBindingTest, ValueIsFoundOnlyByItsWholeText)
{
    sample.text = "https://a.example";
    EXPECT_EQ(combo.IndexOfValue(), -1);
    sample.text = "HTTPS://B.EXAMPLE/";
    EXPECT_EQ(combo.IndexOfValue(), -1);
    sample.text = "https://b.example/";
    EXPECT_EQ(combo.IndexOfValue(), 1);
    EXPECT_EQ(combo.ValueText(), "https://b.example/");
}

TEST(ItemSearchTest, ExactSearchWrapsAroundFromTheStart)
{
    const std::vector<std::string> items{"abc", "ab", "abc", "x"};
    EXPECT_EQ(FindStringExact(items, -1, "abc"), 0);
    EXPECT_EQ(FindStringExact(items, 1, "abc"), 2);
    EXPECT_EQ(FindStringExact(items, 3, "abc"), 0);
    EXPECT_EQ(FindStringExact(items, 3, "ab"), 1);
    EXPECT_EQ(FindStringExact(items, 9, "x"), 3);
    EXPECT_EQ(FindStringExact(items, 0, "a"), -1);
    EXPECT_EQ(FindStringExact(items, 0, "ABC"), -1);
    EXPECT_EQ(FindStringExact({}, 0, ""), -1);
}

class IntComboTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        combo.BindValue(&sample, &CBoundSample::GetNumber, &CBoundSample::SetNumber);
        combo.SetItems({"72", "144", "300"});
        combo.SetMinimum(1);
        combo.SetMaximum(1200);
        combo.AddListener(CIntComboBinding<CBoundSample>::EventErrorState,
                          MakeFunctionListener([this](CEventSource&, intptr_t arg) { states.push_back(static_cast<int>(arg)); }));
        combo.AddListener(CIntComboBinding<CBoundSample>::EventChanged,
                          MakeFunctionListener([this](CEventSource&, intptr_t) { ++changes; }));
    }

    CBoundSample sample;
    CIntComboBinding<CBoundSample> combo;
    std::vector<int> states;
    int changes = 0;
};

TEST_F(IntComboTest, ErrorStateEventFiresOnlyWhenValidityChanges)
{
    EXPECT_FALSE(combo.Commit(-1, "12x", false));
    EXPECT_FALSE(combo.Commit(-1, "0", false));
    EXPECT_EQ(combo.LastErr().msgId, 58735u);
    EXPECT_EQ(combo.LastErr().text, "値が小さすぎます: 0");
    EXPECT_TRUE(combo.Commit(-1, "200", false));
    EXPECT_FALSE(combo.Commit(-1, "1201", false));
    EXPECT_EQ(states, (std::vector<int>{58734, 0, 58736}));
    EXPECT_EQ(sample.number, 200);
    EXPECT_EQ(changes, 1);
}

TEST_F(IntComboTest, SelectedItemWinsOverTheEditText)
{
    EXPECT_TRUE(combo.Commit(2, "junk", false));
    EXPECT_EQ(sample.number, 300);
    EXPECT_EQ(combo.IndexOfValue(), 2);
    sample.number = 145;
    EXPECT_EQ(combo.IndexOfValue(), -1);
    EXPECT_TRUE(states.empty());
}

TEST_F(IntComboTest, RethrowRaisesTheRecordAndKeepsTheValue)
{
    try {
        combo.Commit(-1, "abc", true);
        FAIL();
    } catch (const my::CCtrlException& e) {
        EXPECT_EQ(e.MsgId(), 58734u);
        EXPECT_EQ(e.Control(), nullptr);
    }
    EXPECT_EQ(sample.number, 10);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(states, (std::vector<int>{58734}));
}

TEST(RadioGroupBindingTest, ValueOutsideTheGroupChecksNothing)
{
    CBoundSample sample;
    CRadioGroupBinding<CBoundSample> group;
    group.BindValue(&sample, &CBoundSample::GetChoice, &CBoundSample::SetChoice, 3);
    int events = 0;
    group.AddListener(0, MakeFunctionListener([&](CEventSource&, intptr_t) { ++events; }));
    for (int value : {-1, 3, 100}) {
        sample.choice = value;
        EXPECT_EQ(group.CheckedIndex(), -1) << value;
    }
    sample.choice = 2;
    EXPECT_EQ(group.CheckedIndex(), 2);
    EXPECT_FALSE(group.Commit(2));
    EXPECT_FALSE(group.Commit(3));
    EXPECT_TRUE(group.Commit(0));
    EXPECT_EQ(sample.choice, 0);
    EXPECT_EQ(events, 1);
}

TEST(BoolBindingTest, EachChangeFiresOnce)
{
    CBoundSample sample;
    CBoolBinding<CBoundSample> check;
    check.BindValue(&sample, &CBoundSample::GetFlag, &CBoundSample::SetFlag);
    int events = 0;
    check.AddListener(0, MakeFunctionListener([&](CEventSource&, intptr_t) { ++events; }));
    EXPECT_TRUE(check.Commit(true));
    EXPECT_FALSE(check.Commit(true));
    EXPECT_TRUE(check.Commit(false));
    EXPECT_FALSE(sample.flag);
    EXPECT_EQ(events, 2);
}

}  // namespace
