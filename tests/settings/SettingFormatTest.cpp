#include "settings/SettingFormat.h"

#include "errors/StringTable.h"
#include "settings/SettingExample.h"
#include "settings/SettingNames.h"

#include "ParamName.h"

#include <gtest/gtest.h>

#include <glib.h>

#include <cerrno>
#include <climits>

namespace {

class SettingFormat : public testing::Test {
protected:
    void SetUp() override { SetLanguage(UiLanguage::Japanese); }

    std::string Write(const CSetting& setting)
    {
        std::string text;
        EXPECT_TRUE(WriteSettingDocument(xml, setting)) << xml.GetErr().text;
        EXPECT_TRUE(xml.SaveText(text)) << xml.GetErr().text;
        return text;
    }

    // Reads `text` into `setting`; false when the read failed.
    bool Read(const std::string& text, CSetting& setting)
    {
        return xml.LoadText(text, "Quorvane32.config") && ReadSettingDocument(xml, setting);
    }

    CXmlSerializer xml;
};

TEST_F(SettingFormat, WritesTheExampleDocument)
{
    EXPECT_EQ(Write(ExampleSetting()), Compact(kExampleSettings));
}

TEST_F(SettingFormat, ReadsTheExampleLaidOutForReading)
{
    CSetting setting;
    ASSERT_TRUE(Read(kExampleSettings, setting)) << xml.GetErr().text;
    EXPECT_EQ(setting, ExampleSetting());
    EXPECT_EQ(xml.Version(), kSettingFormatVersion);
}

TEST_F(SettingFormat, RoundTripsEveryMember)
{
    CSetting changed;
    changed.width = 2000;
    changed.height = -3;
    changed.scrollX = 17;
    changed.scrollY = 2147483647;
    changed.trim = {1, 2, 3, 4};
    changed.url = "file:///tmp/地図 page.html?a=<b>&c='d'\"";
    changed.urls.Items() = {"https://a.example/", "", "  spaced  "};
    changed.pageSetting.fitType = DPI;
    changed.pageSetting.papers = {3, 5};
    changed.pageSetting.dpi = 300;
    changed.pageSetting.margin = {0, -1, 2540, 5};
    changed.printSetting = {0x3F, 2, 9, 4};
    changed.mainFrame.maximized = true;
    changed.mainFrame.rect = {10, 20, 800, 600};
    changed.mainFrame.showDlgBar = false;
    changed.mainFrame.showToolBar = false;
    changed.mainFrame.showStatusBar = false;
    changed.mainFrame.bands = {{0xEB00, 0, true}, {0xEB01, 0xFFFFFFFF, false}, {0xEB02, 120, true}};
    ASSERT_NE(changed, CSetting{});

    const std::string text = Write(changed);
    CSetting read;
    ASSERT_TRUE(Read(text, read)) << xml.GetErr().text;
    EXPECT_EQ(read, changed);
}

TEST_F(SettingFormat, OrderAndUnknownElementsDoNotMatter)
{
    std::string text = ExampleWith("<Width>1024</Width>", "<Unknown>x</Unknown>");
    const std::string version = "<Version>1.0.0.0</Version>";
    text.erase(text.find(version), version.size());
    text.insert(text.find("</QuorvaneSetting>"), "<Width>1024</Width><Extra><Trim/></Extra>" + version);
    CSetting setting;
    ASSERT_TRUE(Read(text, setting)) << xml.GetErr().text;
    EXPECT_EQ(setting, ExampleSetting());
}

// One element's text replaced, and the message the read stops with.
struct BadValue {
    const char* label;
    const char* from;
    const char* to;
    uint32_t msgId;
    std::string message;
};

void PrintTo(const BadValue& v, std::ostream* os) { *os << v.label; }

class SettingFormatBadValue : public SettingFormat, public testing::WithParamInterface<BadValue> {};

TEST_P(SettingFormatBadValue, StopsTheReadWithItsMessage)
{
    CSetting setting;
    EXPECT_FALSE(Read(ExampleWith(GetParam().from, GetParam().to), setting));
    EXPECT_EQ(xml.GetErr().msgId, GetParam().msgId);
    EXPECT_EQ(xml.GetErr().text, GetParam().message);
}

const std::string kNotFound = "XMLドキュメント指定のノードが見つかりません - この名前の要素はありません\n\n";

INSTANTIATE_TEST_SUITE_P(
    Elements, SettingFormatBadValue,
    testing::Values(
        BadValue{"Int", "<Width>1024</Width>", "<Width>12a</Width>", 59162,
                 "XMLドキュメントで数値 (int) の解析に失敗しました\n\n12a"},
        BadValue{"IntWithSpace", "<Width>1024</Width>", "<Width>10 24</Width>", 59162,
                 "XMLドキュメントで数値 (int) の解析に失敗しました\n\n10 24"},
        BadValue{"FullWidthDigits", "<Width>1024</Width>", "<Width>１０２４</Width>", 59162,
                 "XMLドキュメントで数値 (int) の解析に失敗しました\n\n１０２４"},
        BadValue{"Exponent", "<Dpi>144</Dpi>", "<Dpi>1e3</Dpi>", 59162,
                 "XMLドキュメントで数値 (int) の解析に失敗しました\n\n1e3"},
        BadValue{"Long", "<Trim><left>0</left>", "<Trim><left>-</left>", 59163,
                 "XMLドキュメントで数値 (long) の解析に失敗しました\n\n-"},
        BadValue{"Bool", "<Maximized>false</Maximized>", "<Maximized>TRUE</Maximized>", 59150,
                 std::string("XMLドキュメント bool 値が不正です - ") + g_strerror(EINVAL)},
        BadValue{"Dword", "<Id>0000E800</Id>", "<Id>0000E80G</Id>", 59167,
                 "XMLドキュメントで数値 (DWORD) の解析に失敗しました\n\n0000E80G"},
        BadValue{"Version", "<Version>1.0.0.0</Version>", "<Version>1.2.3.256</Version>", 59170,
                 "XMLドキュメントでバージョン情報の解析に失敗しました\n\n1.2.3.256"},
        BadValue{"FiveVersionNumbers", "<Version>1.0.0.0</Version>", "<Version>1.0.0.0.0</Version>", 59170,
                 "XMLドキュメントでバージョン情報の解析に失敗しました\n\n1.0.0.0.0"},
        BadValue{"FitType", "<FitType>FIT</FitType>", "<FitType>Fit</FitType>", 59014,
                 "PrintImageFitType として不明な名前 Fit が指定されました"},
        BadValue{"FlagsTrailingBar", "USE_PAGENUMS|COLLATE", "COLLATE|", 59014,
                 "PrintSettingFlags として不明な名前  が指定されました"},
        BadValue{"FlagsLowerCase", "USE_PAGENUMS|COLLATE", "collate", 59014,
                 "PrintSettingFlags として不明な名前 collate が指定されました"},
        BadValue{"MissingTrim", "<Trim><left>0</left><top>0</top><right>0</right><bottom>0</bottom></Trim>", "", 59155,
                 kNotFound + "#document/QuorvaneSetting -> Trim"},
        BadValue{"MissingMember", "<cy>1</cy>", "", 59155, kNotFound + "#document/QuorvaneSetting/PageSetting/Papers -> cy"},
        BadValue{"MissingList", "<Urls><Url>https://example.org/map?x=1&amp;y=2</Url></Urls>", "", 59155,
                 kNotFound + "#document/QuorvaneSetting -> Urls"}),
    [](const testing::TestParamInfo<BadValue>& info) { return info.param.label; });

TEST_F(SettingFormat, WrongRootIsNotTheSettingsDocument)
{
    CSetting setting;
    std::string text = ExampleWith("<QuorvaneSetting ", "<Other ");
    text = text.replace(text.find("</QuorvaneSetting>"), 18, "</Other>");
    EXPECT_FALSE(Read(text, setting));
    EXPECT_EQ(xml.GetErr().text, kNotFound + "QuorvaneSetting");
    EXPECT_EQ(setting, CSetting{});
}

TEST_F(SettingFormat, KeepsWhatWasReadBeforeTheFailure)
{
    CSetting setting;
    const size_t start = kExampleSettings.find("<MainFrameSetting>");
    const size_t end = kExampleSettings.find("</QuorvaneSetting>");
    std::string text = kExampleSettings;
    text.erase(start, end - start);
    text = text.replace(text.find("<Dpi>144</Dpi>"), 14, "<Dpi>300</Dpi>");
    text = text.replace(text.find("<Copies>1</Copies>"), 18, "<Copies>7</Copies>");
    setting.mainFrame.showToolBar = false;

    EXPECT_FALSE(Read(text, setting));
    EXPECT_EQ(xml.GetErr().text, kNotFound + "#document/QuorvaneSetting -> MainFrameSetting");
    EXPECT_EQ(setting.pageSetting.dpi, 300);
    EXPECT_EQ(setting.printSetting.copies, 7);
    EXPECT_EQ(setting.printSetting.flags, 0x12u);
    EXPECT_FALSE(setting.mainFrame.showToolBar);  // not reached: what it held stays

    // The optional additions are not read after a failure, and the failure's
    // message stays.
    text.insert(text.find("</QuorvaneSetting>"), "<PrinterChoice><Printer>PDF</Printer></PrinterChoice>");
    text.insert(text.find("</Margin>") + 9, "<Assembly><CutGuides>true</CutGuides></Assembly>");
    EXPECT_FALSE(Read(text, setting));
    EXPECT_EQ(xml.GetErr().text, kNotFound + "#document/QuorvaneSetting -> MainFrameSetting");
    EXPECT_FALSE(setting.printerChoice);
    EXPECT_FALSE(setting.pageSetting.assembly.cutGuides);
}

TEST_F(SettingFormat, AnEmptyListIsWrittenWithoutChildrenAndReadAsEmpty)
{
    CSetting setting;
    const std::string text = Write(setting);
    EXPECT_NE(text.find("<Urls/>"), std::string::npos);
    EXPECT_NE(text.find("<ReBarBandSettings/>"), std::string::npos);
    EXPECT_NE(text.find("<Flags/>"), std::string::npos);

    CSetting read;
    read.urls.Items() = {"stale"};
    read.mainFrame.bands = {{1, 2, true}};
    read.printSetting.flags = 0x10;
    ASSERT_TRUE(Read(text, read)) << xml.GetErr().text;
    EXPECT_TRUE(read.urls.Items().empty());
    EXPECT_TRUE(read.mainFrame.bands.empty());
    EXPECT_EQ(read.printSetting.flags, 0u);
}

struct WidthText {
    const char* text;
    int32_t value;
};

void PrintTo(const WidthText& w, std::ostream* os) { *os << '"' << w.text << '"'; }

class SettingFormatWidth : public SettingFormat, public testing::WithParamInterface<WidthText> {};

TEST_P(SettingFormatWidth, ReadsTheIntegerPart)
{
    CSetting setting;
    ASSERT_TRUE(Read(ExampleWith("<Width>1024</Width>", std::string("<Width>") + GetParam().text + "</Width>"), setting))
        << xml.GetErr().text;
    EXPECT_EQ(setting.width, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, SettingFormatWidth,
                         testing::Values(WidthText{"800.9", 800}, WidthText{"800.", 800}, WidthText{"+800", 800},
                                         WidthText{"-0", 0}, WidthText{"-12.5", -12}, WidthText{"99999999999", INT_MAX},
                                         WidthText{"-99999999999", INT_MIN}, WidthText{"0800", 800}),
                                         [](const testing::TestParamInfo<WidthText>& info) {
                                             return testname::FromText(info.param.text);
                                         });

TEST_F(SettingFormat, NamesAndDwordsAreWrittenBackInTheirOwnForm)
{
    std::string text = ExampleWith("USE_PAGENUMS|COLLATE", "COLLATE|USE_PAGENUMS");
    text.replace(text.find("000001F4"), 8, "1f4");
    text.replace(text.find("<Version>1.0.0.0</Version>"), 26, "<Version>1</Version>");
    CSetting setting;
    ASSERT_TRUE(Read(text, setting)) << xml.GetErr().text;
    EXPECT_EQ(setting.printSetting.flags, 0x12u);
    EXPECT_EQ(setting.mainFrame.bands.at(0).cx, 500u);
    EXPECT_EQ(Write(setting), Compact(kExampleSettings));
}

TEST_F(SettingFormat, TheVersionGoesToTheSerializer)
{
    CSetting setting;
    ASSERT_TRUE(Read(ExampleWith("<Version>1.0.0.0</Version>", "<Version>2</Version>"), setting));
    EXPECT_EQ(xml.Version(), 0x02000000u);
    // This program always writes its own format version.
    EXPECT_NE(Write(setting).find("<Version>1.0.0.0</Version>"), std::string::npos);
}

TEST_F(SettingFormat, ValuesWithoutANameStopTheWrite)
{
    CSetting setting;
    setting.pageSetting.fitType = static_cast<PrintImageFitType>(2);
    EXPECT_FALSE(WriteSettingDocument(xml, setting));
    EXPECT_EQ(xml.GetErr().text, "PrintImageFitType として不明な値 2 が指定されました");

    setting = CSetting{};
    setting.printSetting.flags = 0x12 | 0x80;
    EXPECT_FALSE(WriteSettingDocument(xml, setting));
    EXPECT_EQ(xml.GetErr().msgId, 59013u);
    EXPECT_EQ(xml.GetErr().text, "PrintSettingFlags として不明な値 0x80 が指定されました");
}

TEST(SettingNames, FlagsRoundTripInBitOrder)
{
    EXPECT_EQ(PrintFlagsToText(0), "");
    EXPECT_EQ(PrintFlagsToText(0x3F), "USE_SELECTION|USE_PAGENUMS|RESERVED_1|RESERVED_2|COLLATE|TO_FILE");
    EXPECT_EQ(PrintFlagsFromText("TO_FILE|USE_SELECTION|TO_FILE"), 0x21u);
    EXPECT_THROW(PrintFlagsFromText("COLLATE||TO_FILE"), my::CException);
    EXPECT_THROW(PrintFlagsFromText("|COLLATE"), my::CException);
    EXPECT_THROW(PrintFlagsFromText("COLLATE "), my::CException);
    EXPECT_EQ(FitTypeFromName("DPI"), DPI);
    EXPECT_EQ(FitTypeToName(FIT), "FIT");
}

}  // namespace

TEST_F(SettingFormat, AssemblyIsTheLastChildOfPageSettingAndOnlyWrittenWhenChosen)
{
    CSetting setting;
    setting.pageSetting.assembly = {1050, true, false, true};
    const std::string text = Write(setting);
    EXPECT_NE(text.find("</Margin><Assembly><Overlap>1050</Overlap><CutGuides>true</CutGuides>"
                        "<SheetLabels>false</SheetLabels><AssemblySheet>true</AssemblySheet></Assembly></PageSetting>"),
              std::string::npos)
        << text;
    CSetting read;
    ASSERT_TRUE(Read(text, read)) << xml.GetErr().text;
    EXPECT_EQ(read, setting);

    EXPECT_EQ(Write(CSetting{}).find("Assembly"), std::string::npos);
}

TEST_F(SettingFormat, AssemblyMembersThatAreMissingAreOff)
{
    CSetting setting;
    ASSERT_TRUE(Read(ExampleWith("</Margin>", "</Margin><Assembly><SheetLabels>true</SheetLabels></Assembly>"), setting))
        << xml.GetErr().text;
    EXPECT_EQ(setting.pageSetting.assembly, (CAssemblySetting{0, false, true, false}));
}

TEST_F(SettingFormat, ADamagedAssemblyValueOnlyLosesThatAid)
{
    CSetting setting;
    ASSERT_TRUE(Read(ExampleWith("</Margin>", "</Margin><Assembly><Overlap>wide</Overlap><CutGuides>yes</CutGuides>"
                                              "<SheetLabels>true</SheetLabels></Assembly>"),
                     setting))
        << xml.GetErr().text;
    EXPECT_FALSE(xml.HasErr());
    CSetting expected = ExampleSetting();
    expected.pageSetting.assembly.sheetLabels = true;
    EXPECT_EQ(setting, expected);
}

TEST_F(SettingFormat, PrinterChoiceIsOptional)
{
    CSetting setting;
    ASSERT_TRUE(Read(kExampleSettings, setting)) << xml.GetErr().text;
    EXPECT_FALSE(setting.printerChoice);
    EXPECT_EQ(Write(setting).find("PrinterChoice"), std::string::npos);
}

TEST_F(SettingFormat, PrinterChoiceFollowsTheMainFrameSettingAndRoundTrips)
{
    CSetting setting = ExampleSetting();
    setting.printerChoice = CPrinterChoice{"qvpdf", "iso_a3_297x420mm", DMORIENT_LANDSCAPE, ""};
    const std::string text = Write(setting);
    EXPECT_NE(text.find("</MainFrameSetting><PrinterChoice><Printer>qvpdf</Printer><Media>iso_a3_297x420mm</Media>"
                        "<Orientation>LANDSCAPE</Orientation><Source/></PrinterChoice>"),
              std::string::npos)
        << text;
    CSetting read;
    ASSERT_TRUE(Read(text, read)) << xml.GetErr().text;
    EXPECT_EQ(read, setting);
}

TEST_F(SettingFormat, ADamagedPrinterChoiceIsDroppedWithoutFailingTheFile)
{
    for (const std::string& element :
         {std::string("<PrinterChoice><Media>iso_a3_297x420mm</Media></PrinterChoice>"),
          std::string("<PrinterChoice><Printer>") + std::string(2000, 'x') + "</Printer></PrinterChoice>"}) {
        CSetting setting;
        ASSERT_TRUE(Read(ExampleWith("</MainFrameSetting>", "</MainFrameSetting>" + element), setting))
            << xml.GetErr().text;
        EXPECT_FALSE(setting.printerChoice) << element;
        EXPECT_FALSE(xml.HasErr());
    }
    CSetting setting;
    ASSERT_TRUE(Read(ExampleWith("</MainFrameSetting>",
                                 "</MainFrameSetting><PrinterChoice><Printer>q</Printer>"
                                 "<Orientation>SIDEWAYS</Orientation></PrinterChoice>"),
                     setting));
    ASSERT_TRUE(setting.printerChoice);
    EXPECT_EQ(*setting.printerChoice, (CPrinterChoice{"q", "", DMORIENT_PORTRAIT, ""}));
}
