#include "printing/devices/PrinterSettings.h"

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

// A --print run: the paper by keyword or shown name, landscape when asked.
CDevMode ForRun(const CPrinter& printer, const std::optional<CDevMode>& current, const std::string& paper,
                bool landscape)
{
    return MakePrinterSettings(printer, current,
                               {paper, true, landscape ? std::optional<int16_t>(DMORIENT_LANDSCAPE) : std::nullopt, {}});
}

TEST(PrinterSettings, PaperByKeywordOrShownNameInEitherCase)
{
    const CPrinter printer = Office();
    for (const char* name : {"iso_a3_297x420mm", "a3", "A3", "ISO_A3_297X420MM"}) {
        const CDevMode dm = ForRun(printer, std::nullopt, name, false);
        EXPECT_EQ(dm.media, "iso_a3_297x420mm") << name;
        EXPECT_EQ(dm.paperSize, 8) << "the table's A3";
        EXPECT_EQ(dm.orientation, DMORIENT_PORTRAIT);
        EXPECT_EQ(dm.source, "tray-2") << "the printer's source is kept";
    }
    const CDevMode poster = ForRun(printer, std::nullopt, "poster", true);
    EXPECT_EQ(poster.paperSize, DMPAPER_USER);
    EXPECT_EQ(poster.paperWidth, 5000);
    EXPECT_EQ(poster.paperLength, 7000);
    EXPECT_EQ(poster.orientation, DMORIENT_LANDSCAPE);
}

TEST(PrinterSettings, WithoutPaperKeepsTheCurrentSettingsOfThatPrinter)
{
    const CPrinter printer = Office();
    CDevMode current = printer.MakeDevMode(printer.Media()[1], DMORIENT_PORTRAIT, "tray-1");
    EXPECT_EQ(ForRun(printer, current, "", false), current);
    CDevMode landscape = ForRun(printer, current, "", true);
    EXPECT_EQ(landscape.media, "iso_a3_297x420mm");
    EXPECT_EQ(landscape.orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(landscape.source, "tray-1");

    current.deviceName = "another";
    EXPECT_EQ(ForRun(printer, current, "", false).media, "iso_a4_210x297mm")
        << "settings of another printer give way to this one's defaults";
}

TEST(PrinterSettings, UnknownPaperRaisesOnlyWhenRequired)
{
    try {
        ForRun(Office(), std::nullopt, "A0", false);
        FAIL() << "no error";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.MsgId(), 61750u);
        const std::string text = e.what();
        EXPECT_NE(text.find("office"), std::string::npos) << text;
        EXPECT_NE(text.find("A0"), std::string::npos) << text;
    }
    // A stored choice or another printer's paper falls back to the base's.
    const CDevMode kept = MakePrinterSettings(Office(), std::nullopt, {"A0", false, DMORIENT_LANDSCAPE, {}});
    EXPECT_EQ(kept.media, "iso_a4_210x297mm");
    EXPECT_EQ(kept.orientation, DMORIENT_LANDSCAPE);
}

// Tray and orientation follow the same rule for every caller: an offered
// tray or "" (the printer's own choice) is taken, another one is not.
TEST(PrinterSettings, TrayAndOrientationAreTakenWithOrWithoutAPaper)
{
    const CPrinter printer = Office();
    for (const std::string paper : {"", "A3"}) {
        const CDevMode tray1 = MakePrinterSettings(printer, std::nullopt, {paper, false, DMORIENT_LANDSCAPE, "tray-1"});
        EXPECT_EQ(tray1.source, "tray-1") << paper;
        EXPECT_TRUE(tray1.fields & DM_DEFAULTSOURCE) << paper;
        EXPECT_EQ(tray1.orientation, DMORIENT_LANDSCAPE) << paper;
        EXPECT_EQ(MakePrinterSettings(printer, tray1, {paper, false, {}, "tray-9"}).source, "tray-1") << paper;
        const CDevMode own = MakePrinterSettings(printer, tray1, {paper, false, {}, ""});
        EXPECT_EQ(own.source, "") << paper;
        EXPECT_FALSE(own.fields & DM_DEFAULTSOURCE) << paper;
        EXPECT_EQ(own.orientation, DMORIENT_LANDSCAPE) << paper;
    }
}

}  // namespace

// The default paper that libcups made up margins for takes the queue's own
// margins for that size; a size the queue does not list keeps what it has.
TEST(PrinterSettings, DefaultPaperTakesTheMarginsTheQueueListsForItsSize)
{
    const std::vector<CMediaInfo> listed{{"iso_a4_210x297mm_borderless", "A4", 20990, 29704, {}},
                                         {"na_letter_8.5x11in", "Letter", 21590, 27940, {635, 1270, 635, 1270}}};
    const CMediaInfo madeUp{"iso_a4_210x297mm", "A4", 21000, 29700, {0, 0, 0, 1270}};
    EXPECT_EQ(WithListedMargins(madeUp, listed).margins, (CRect{}));
    EXPECT_EQ(WithListedMargins(madeUp, listed).name, "iso_a4_210x297mm");
    const CMediaInfo a3{"iso_a3_297x420mm", "A3", 29700, 42000, {0, 0, 0, 1270}};
    EXPECT_EQ(WithListedMargins(a3, listed).margins, (CRect{0, 0, 0, 1270}));
}
