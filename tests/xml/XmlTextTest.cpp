#include "xml/XmlText.h"

#include "ParamName.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct DwordCase {
    const char* text;
    std::optional<uint32_t> value;
};

void PrintTo(const DwordCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class XmlDwordText : public testing::TestWithParam<DwordCase> {};

TEST_P(XmlDwordText, Parses)
{
    EXPECT_EQ(ParseDwordText(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlDwordText,
                         testing::Values(DwordCase{"1f4", 500u}, DwordCase{"000001F4", 500u}, DwordCase{"", 0u},
                                         DwordCase{"FFFFFFFF", 0xFFFFFFFFu},
                                         // Only the last 8 digits count.
                                         DwordCase{"123456789", 0x23456789u}, DwordCase{"0x10", std::nullopt},
                                         DwordCase{"-1", std::nullopt}, DwordCase{"12G4", std::nullopt},
                                         DwordCase{"1 2", std::nullopt}),
                                         [](const testing::TestParamInfo<DwordCase>& info) {
                                             return testname::FromText(info.param.text);
                                         });

TEST(XmlDwordText, WritesEightUpperCaseDigits)
{
    EXPECT_EQ(DwordToText(120), "00000078");
    EXPECT_EQ(DwordToText(0xE801), "0000E801");
    EXPECT_EQ(DwordToText(0xABCDEF12), "ABCDEF12");
}

struct VersionCase {
    const char* text;
    std::optional<uint32_t> value;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class XmlVersionText : public testing::TestWithParam<VersionCase> {};

TEST_P(XmlVersionText, Parses)
{
    EXPECT_EQ(ParseVersionText(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, XmlVersionText,
                         testing::Values(VersionCase{"1.0.0.0", 0x01000000u}, VersionCase{"2", 0x02000000u},
                                         VersionCase{"1.2", 0x01020000u}, VersionCase{"1.0.0.1", 0x01000001u},
                                         VersionCase{"255.255.255.255", 0xFFFFFFFFu}, VersionCase{"+1.-0", 0x01000000u},
                                         VersionCase{"1.2.3.256", std::nullopt}, VersionCase{"1.2.3.4.5", std::nullopt},
                                         VersionCase{"", std::nullopt}, VersionCase{"1..2", std::nullopt},
                                         VersionCase{"1.2.", std::nullopt}, VersionCase{"-1", std::nullopt},
                                         VersionCase{"1.a", std::nullopt}),
                                         [](const testing::TestParamInfo<VersionCase>& info) {
                                             return testname::FromText(info.param.text);
                                         });

TEST(XmlVersionText, WritesFourNumbers)
{
    EXPECT_EQ(VersionToText(0x01000000), "1.0.0.0");
    EXPECT_EQ(VersionToText(0x01020304), "1.2.3.4");
    EXPECT_EQ(VersionToText(0xFFFFFFFF), "255.255.255.255");
}

TEST(XmlBoolText, IsCaseSensitive)
{
    EXPECT_EQ(ParseBoolText("true"), true);
    EXPECT_EQ(ParseBoolText("false"), false);
    for (const char* text : {"TRUE", "True", "1", "", "yes"})
        EXPECT_EQ(ParseBoolText(text), std::nullopt) << text;
}

TEST(XmlText, TrimsOnlyXmlWhiteSpace)
{
    EXPECT_EQ(TrimXmlSpace("\n\t 42 \r\n"), "42");
    EXPECT_EQ(TrimXmlSpace("  "), "");
    // A no-break space is text, not XML white space.
    EXPECT_EQ(TrimXmlSpace("\xC2\xA0" "1"), "\xC2\xA0" "1");
}

TEST(XmlText, AcceptsOnlyCharactersXmlCanCarry)
{
    EXPECT_TRUE(IsXmlText("https://example.org/?a=1&b=<2>"));
    EXPECT_TRUE(IsXmlText("地図\t\r\n"));
    EXPECT_FALSE(IsXmlText("a\x01" "b"));
    EXPECT_FALSE(IsXmlText(std::string("a\0b", 3)));
    EXPECT_FALSE(IsXmlText("\xFF\xFE"));
    EXPECT_FALSE(IsXmlText("\xEF\xBF\xBE"));  // U+FFFE
}

}  // namespace
