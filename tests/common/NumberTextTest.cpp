#include "common/NumberText.h"

#include "ParamName.h"

#include <gtest/gtest.h>

namespace {

struct Accepted {
    const char* text;
    int32_t value;
};

class AcceptedNumberText : public testing::TestWithParam<Accepted> {};

TEST_P(AcceptedNumberText, ParsesAndDropsTheFraction)
{
    const auto value = ParseIntText(GetParam().text);
    ASSERT_TRUE(value.has_value()) << GetParam().text;
    EXPECT_EQ(*value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, AcceptedNumberText, testing::Values(
    Accepted{"800", 800}, Accepted{"800.9", 800}, Accepted{"800.", 800}, Accepted{"+800", 800},
    Accepted{"-0", 0}, Accepted{"-7.", -7}, Accepted{"640.5", 640}, Accepted{"007", 7},
    Accepted{"99999999999", 2147483647}, Accepted{"-99999999999", -2147483648},
    Accepted{"2147483648", 2147483647}, Accepted{"-2147483648", -2147483648},
    Accepted{"123456789012345678901234567890", 2147483647}),
    [](const testing::TestParamInfo<Accepted>& info) { return testname::FromText(info.param.text); });

class RefusedNumberText : public testing::TestWithParam<const char*> {};

TEST_P(RefusedNumberText, IsAFormatError)
{
    EXPECT_FALSE(ParseIntText(GetParam()).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedNumberText, testing::Values(
    "", " 800", "800 ", "8 00", "12a", "1e3", "1,000", "+-1", "--1", ".5", "0x10", "８００", "+", "-", "1.2.3"),
    [](const testing::TestParamInfo<const char*>& info) { return testname::FromText(info.param); });

TEST(IntToText, WritesPlainDecimal)
{
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-42), "-42");
    EXPECT_EQ(IntToText(2147483647), "2147483647");
}

}  // namespace

TEST(MillimetreText, ReadsMillimetresAsHundredths)
{
    EXPECT_EQ(ParseMillimetreText("10"), 1000);
    EXPECT_EQ(ParseMillimetreText("12.3"), 1230);
    EXPECT_EQ(ParseMillimetreText("12.34"), 1234);
    EXPECT_EQ(ParseMillimetreText("12.345"), 1235);  // halves away from zero
    EXPECT_EQ(ParseMillimetreText("12.99999"), 1300);
    EXPECT_EQ(ParseMillimetreText("-0.5"), -50);
    EXPECT_EQ(ParseMillimetreText("+4."), 400);
    EXPECT_EQ(ParseMillimetreText("99999999999"), 2147483647);
    EXPECT_FALSE(ParseMillimetreText("10 mm"));
    EXPECT_FALSE(ParseMillimetreText(".5"));
}

TEST(MillimetreText, WritesOneDecimal)
{
    EXPECT_EQ(HundredthsToMillimetreText(1000), "10.0");
    EXPECT_EQ(HundredthsToMillimetreText(1234), "12.3");
    EXPECT_EQ(HundredthsToMillimetreText(1235), "12.4");
    EXPECT_EQ(HundredthsToMillimetreText(5), "0.1");
    EXPECT_EQ(HundredthsToMillimetreText(0), "0.0");
    EXPECT_EQ(HundredthsToMillimetreText(-250), "-2.5");
    EXPECT_EQ(HundredthsToMillimetreText(2147483647), "21474836.5");
}
