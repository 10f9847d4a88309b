#include "shell/BatchPrinter.h"

#include "errors/Exception.h"

#include <gtest/gtest.h>

namespace {

CPrinter Office()
{
    return CPrinter("office", false, 600,
                    {{"iso_a4_210x297mm", "A4", 21000, 29700, {}}, {"iso_a3_297x420mm", "A3", 29700, 42000, {}},
                     {"custom_poster_500x700mm", "Poster", 50000, 70000, {}}},
                    "iso_a4_210x297mm", {"tray-1", "tray-2"}, "tray-2", DMORIENT_PORTRAIT);
}

TEST(BatchPrinter, PaperByKeywordOrShownNameInEitherCase)
{
    const CPrinter printer = Office();
    for (const char* name : {"iso_a3_297x420mm", "a3", "A3", "ISO_A3_297X420MM"}) {
        const CDevMode dm = ChooseBatchDevMode(printer, std::nullopt, name, false);
        EXPECT_EQ(dm.media, "iso_a3_297x420mm") << name;
        EXPECT_EQ(dm.paperSize, 8) << "the table's A3";
        EXPECT_EQ(dm.orientation, DMORIENT_PORTRAIT);
        EXPECT_EQ(dm.source, "tray-2") << "the printer's source is kept";
    }
    const CDevMode poster = ChooseBatchDevMode(printer, std::nullopt, "poster", true);
    EXPECT_EQ(poster.paperSize, DMPAPER_USER);
    EXPECT_EQ(poster.paperWidth, 5000);
    EXPECT_EQ(poster.paperLength, 7000);
    EXPECT_EQ(poster.orientation, DMORIENT_LANDSCAPE);
}

TEST(BatchPrinter, WithoutPaperKeepsTheCurrentSettingsOfThatPrinter)
{
    const CPrinter printer = Office();
    CDevMode current = printer.MakeDevMode(printer.Media()[1], DMORIENT_PORTRAIT, "tray-1");
    EXPECT_EQ(ChooseBatchDevMode(printer, current, "", false), current);
    CDevMode landscape = ChooseBatchDevMode(printer, current, "", true);
    EXPECT_EQ(landscape.media, "iso_a3_297x420mm");
    EXPECT_EQ(landscape.orientation, DMORIENT_LANDSCAPE);

    current.deviceName = "another";
    EXPECT_EQ(ChooseBatchDevMode(printer, current, "", false).media, "iso_a4_210x297mm")
        << "settings of another printer give way to this one's defaults";
}

TEST(BatchPrinter, UnknownPaperNamesThePrinterAndThePaper)
{
    try {
        ChooseBatchDevMode(Office(), std::nullopt, "A0", false);
        FAIL() << "no error";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.MsgId(), 61750u);
        const std::string text = e.what();
        EXPECT_NE(text.find("office"), std::string::npos) << text;
        EXPECT_NE(text.find("A0"), std::string::npos) << text;
    }
}

}  // namespace
