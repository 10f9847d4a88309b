#include "BoundSample.h"

#include "controls/EditBinding.h"
#include "errors/StringTable.h"

#include "ParamName.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using CIntEdit = CIntEditBinding<CBoundSample>;

class EditBindingTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        edit.BindValue(&sample, &CBoundSample::GetNumber, &CBoundSample::SetNumber);
        edit.AddListener(CIntEdit::EventChanged, MakeFunctionListener([this](CEventSource& source, intptr_t arg) {
            EXPECT_EQ(&source, &edit);
            EXPECT_EQ(arg, 0);
            ++events;
        }));
    }

    CBoundSample sample;
    CIntEdit edit;
    int events = 0;
};

struct TextCase {
    const char* text;
    int value;
};

class EditAcceptsTest : public EditBindingTest, public testing::WithParamInterface<TextCase> {};

TEST_P(EditAcceptsTest, WritesTheIntegerPartAndFiresOnce)
{
    EXPECT_TRUE(edit.Commit(GetParam().text));
    EXPECT_EQ(sample.number, GetParam().value);
    EXPECT_EQ(sample.sets, 1);
    EXPECT_EQ(events, 1);
}

INSTANTIATE_TEST_SUITE_P(Numbers, EditAcceptsTest,
                         testing::Values(TextCase{"800", 800}, TextCase{"640.5", 640}, TextCase{"-7.", -7},
                                         TextCase{"+12", 12}, TextCase{"0", 0}, TextCase{"12.9", 12},
                                         TextCase{"99999999999", INT_MAX}, TextCase{"-99999999999", INT_MIN}),
                                         [](const testing::TestParamInfo<TextCase>& info) {
                                             return testname::FromText(info.param.text);
                                         });

class EditRefusesFormatTest : public EditBindingTest, public testing::WithParamInterface<const char*> {};

TEST_P(EditRefusesFormatTest, RaisesFormatErrorWithTheText)
{
    try {
        edit.Commit(GetParam());
        FAIL() << "accepted '" << GetParam() << "'";
    } catch (const my::CCtrlException& e) {
        EXPECT_EQ(e.MsgId(), 58734u);
        EXPECT_EQ(e.Err().text, std::string("数値の書式が不正です: ") + GetParam());
    }
    EXPECT_EQ(sample.number, 10);
    EXPECT_EQ(sample.sets, 0);
    EXPECT_EQ(events, 0);
}

INSTANTIATE_TEST_SUITE_P(BadTexts, EditRefusesFormatTest,
                         testing::Values(" 800", "800 ", "abc", "", "1.2.3", "+-1", "8 00", ".5", "1e3", "０"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return testname::FromText(info.param);
                         });

TEST_F(EditBindingTest, RangeRefusalsCarryTheirMessages)
{
    edit.SetMinimum(0);
    edit.SetMaximum(1000);
    try {
        edit.Commit("-1");
        FAIL();
    } catch (const my::CCtrlException& e) {
        EXPECT_EQ(e.MsgId(), 58735u);
        EXPECT_EQ(e.Err().text, "値が小さすぎます: -1");
    }
    try {
        edit.Commit("1001");
        FAIL();
    } catch (const my::CCtrlException& e) {
        EXPECT_EQ(e.MsgId(), 58736u);
        EXPECT_EQ(e.Err().text, "値が大きすぎます: 1001");
    }
    EXPECT_TRUE(edit.Commit("0"));
    EXPECT_TRUE(edit.Commit("1000"));
    EXPECT_EQ(sample.number, 1000);
}

TEST_F(EditBindingTest, EqualValueWritesNothing)
{
    EXPECT_FALSE(edit.Commit("10"));
    EXPECT_FALSE(edit.Commit("10.7"));
    EXPECT_FALSE(edit.Commit("+10"));
    EXPECT_EQ(sample.sets, 0);
    EXPECT_EQ(events, 0);
}

TEST_F(EditBindingTest, QuietCommitDropsRefusals)
{
    edit.SetMinimum(0);
    EXPECT_FALSE(edit.CommitQuietly("-5"));
    EXPECT_FALSE(edit.CommitQuietly("letters"));
    EXPECT_EQ(sample.number, 10);
    EXPECT_EQ(edit.ValueText(), "10");
    EXPECT_TRUE(edit.CommitQuietly("-0"));
    EXPECT_EQ(edit.ValueText(), "0");
}

TEST_F(EditBindingTest, ListenerFailureLeavesTheOldValue)
{
    int later = 0;
    edit.AddListener(CIntEdit::EventChanged, MakeFunctionListener([](CEventSource&, intptr_t) {
        throw my::CException(58721, {"listener"});
    }));
    edit.AddListener(CIntEdit::EventChanged, MakeFunctionListener([&](CEventSource&, intptr_t) { ++later; }));

    EXPECT_THROW(edit.Commit("20"), my::CException);
    EXPECT_EQ(sample.number, 10);

    EXPECT_NO_THROW(EXPECT_FALSE(edit.CommitQuietly("30")));
    EXPECT_EQ(sample.number, 10);
    EXPECT_EQ(events, 2);  // the first listener ran both times
    EXPECT_EQ(later, 0);   // the ones after the failing listener did not
}

struct CListenerOwner {
    std::string calls;
    void First() { calls += "1"; }
    void Second() { calls += "2"; }
};

TEST_F(EditBindingTest, ListenersRunInAttachOrder)
{
    CListenerOwner owner;
    edit.AddListener(CIntEdit::EventChanged, MakeMemfunListener(&owner, &CListenerOwner::Second));
    edit.AddListener(CIntEdit::EventChanged, MakeMemfunListener(&owner, &CListenerOwner::First));
    edit.Commit("11");
    EXPECT_EQ(owner.calls, "21");
}

TEST(SettingSetterTest, UnboundControlRaisesInternalError)
{
    CIntEdit edit;
    EXPECT_THROW(edit.Commit("1"), my::CException);
    EXPECT_THROW(edit.ValueText(), my::CException);
}

}  // namespace
