#include "batch/CommandLine.h"

#include "errors/StringTable.h"
#include "batch/ExitStatus.h"

#include <glib.h>
#include <glib/gstdio.h>
#include "ParamName.h"

#include <gtest/gtest.h>

namespace {

using Mode = CCommandLine::Mode;

CCommandLineResult Parse(std::vector<std::string> args)
{
    args.insert(args.begin(), "quorvane");
    return ParseCommandLine(args);
}

TEST(CommandLine, WindowModeTakesAtMostOneUrl)
{
    const CCommandLineResult none = Parse({});
    EXPECT_EQ(none.status, kExitDone);
    EXPECT_EQ(none.options.mode, Mode::Window);
    EXPECT_EQ(none.options.url, "");
    const CCommandLineResult one = Parse({"https://example.org/map?a=1&b=2"});
    EXPECT_EQ(one.options.mode, Mode::Window);
    EXPECT_EQ(one.options.url, "https://example.org/map?a=1&b=2");
    EXPECT_EQ(Parse({"--", "-odd-name.html"}).options.url, "-odd-name.html");
    EXPECT_EQ(Parse({"--help"}).options.mode, Mode::Help);
    EXPECT_EQ(Parse({"-h"}).options.mode, Mode::Help);
    EXPECT_EQ(Parse({"--version"}).options.mode, Mode::Version);
}

TEST(CommandLine, SaveTakesSizeTrimAndFormat)
{
    const CCommandLineResult r =
        Parse({"--save", "out.png", "--size", "5000x4000", "--trim", "10,20,30,40", "--timeout", "20", "http://h/"});
    ASSERT_EQ(r.status, kExitDone) << r.error;
    EXPECT_EQ(r.options.mode, Mode::Save);
    EXPECT_EQ(r.options.saveFile, "out.png");
    EXPECT_EQ(r.options.size, (CSize{5000, 4000}));
    EXPECT_EQ(r.options.trim, (CRect{10, 20, 30, 40}));
    EXPECT_EQ(r.options.timeoutSeconds, 20);
    EXPECT_EQ(r.options.container, ImgContainer::Png);
    EXPECT_EQ(r.options.url, "http://h/");

    const CCommandLineResult defaults = Parse({"--save", "out.png", "u"});
    EXPECT_EQ(defaults.options.size, (CSize{1024, 768}));
    EXPECT_EQ(defaults.options.trim, CRect{});
    EXPECT_EQ(defaults.options.timeoutSeconds, 300);
    EXPECT_EQ(defaults.options.delayMs, 0);
    EXPECT_EQ(defaults.options.waitFor, "");
    EXPECT_EQ(defaults.options.scale, 1);

    const CCommandLineResult waits =
        Parse({"--print", "--output", "a.pdf", "--delay", "2500", "--wait-for", "window.done === true", "--scale", "4", "u"});
    ASSERT_EQ(waits.status, kExitDone) << waits.error;
    EXPECT_EQ(waits.options.delayMs, 2500);
    EXPECT_EQ(waits.options.waitFor, "window.done === true");
    EXPECT_EQ(waits.options.scale, 4);
}

struct FormatCase {
    std::vector<std::string> args;
    ImgContainer container;
};

class CommandLineFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(CommandLineFormat, ComesFromTheOptionOrTheExtension)
{
    std::vector<std::string> args = GetParam().args;
    args.push_back("u");
    const CCommandLineResult r = Parse(args);
    ASSERT_EQ(r.status, kExitDone) << r.error;
    EXPECT_EQ(r.options.container, GetParam().container);
}

INSTANTIATE_TEST_SUITE_P(
    All, CommandLineFormat,
    testing::Values(FormatCase{{"--save", "a.JPG"}, ImgContainer::Jpeg}, FormatCase{{"--save", "dir.v2/a.tif"}, ImgContainer::Tiff},
                    FormatCase{{"--save", "a.png", "--format", "tiff"}, ImgContainer::Tiff},
                    FormatCase{{"--save", "poster", "--format", "JPEG"}, ImgContainer::Jpeg},
                    FormatCase{{"--format=bmp", "--save=a.out"}, ImgContainer::Bmp}),
                    [](const testing::TestParamInfo<FormatCase>& info) { return testname::FromArgs(info.param.args); });

TEST(CommandLine, PrintTakesItsOptions)
{
    const CCommandLineResult r = Parse({"--print", "--sheets", "3x2", "--paper", "A3", "--landscape", "--margins", "5",
                                        "--output", "poster.pdf", "u"});
    ASSERT_EQ(r.status, kExitDone) << r.error;
    EXPECT_EQ(r.options.mode, Mode::Print);
    EXPECT_EQ(r.options.printer, "PDF") << "--output is the PDF destination's file";
    EXPECT_EQ(r.options.output, "poster.pdf");
    EXPECT_EQ(r.options.paper, "A3");
    EXPECT_TRUE(r.options.landscape);
    EXPECT_EQ(r.options.pageSetting.fitType, FIT);
    EXPECT_EQ(r.options.pageSetting.papers, (CSize{3, 2}));
    EXPECT_EQ(r.options.pageSetting.margin, (CRect{500, 500, 500, 500}));
    // The page setup dialog's limits: up to 1000 sheets a side.
    const CCommandLineResult wide = Parse({"--print", "--sheets", "1000x1", "--output", "poster.pdf", "u"});
    ASSERT_EQ(wide.status, kExitDone) << wide.error;
    EXPECT_EQ(wide.options.pageSetting.papers, (CSize{1000, 1}));

    const CCommandLineResult dpi = Parse({"--print", "--dpi", "300", "--printer", "office", "u"});
    ASSERT_EQ(dpi.status, kExitDone) << dpi.error;
    EXPECT_EQ(dpi.options.pageSetting.fitType, DPI);
    EXPECT_EQ(dpi.options.pageSetting.dpi, 300);
    EXPECT_EQ(dpi.options.printer, "office");
    EXPECT_EQ(dpi.options.pageSetting.margin, (CRect{1000, 1000, 1000, 1000})) << "10 mm unless given";

    EXPECT_EQ(Parse({"--print", "--printer", "PDF", "--output", "a.pdf", "u"}).status, kExitDone);
}

struct BadCase {
    std::vector<std::string> args;
    const char* named;  // what the message must name
};

class CommandLineRefuses : public testing::TestWithParam<BadCase> {};

TEST_P(CommandLineRefuses, WithAMessageAndStatus2)
{
    const CCommandLineResult r = Parse(GetParam().args);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.error.find(GetParam().named), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("quorvane --help"), std::string::npos) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    All, CommandLineRefuses,
    testing::Values(
        BadCase{{"--save", "a.png", "--size", "0x5", "u"}, "--size"},
        BadCase{{"--save", "a.png", "--size", "5", "u"}, "--size"},
        BadCase{{"--save", "a.png", "--size", "40000x100", "u"}, "--size"},
        BadCase{{"--save", "a.png", "--size", "99999999999x100", "u"}, "--size"},
        BadCase{{"--save", "a.png", "--trim", "1,2,3", "u"}, "--trim"},
        BadCase{{"--save", "a.png", "--trim", "-1,0,0,0", "u"}, "--trim"},
        BadCase{{"--save", "a.png", "--size", "100x100", "--trim", "60,0,40,0", "u"}, "--trim"},
        BadCase{{"--save", "a.png", "--timeout", "0", "u"}, "--timeout"},
        BadCase{{"--save", "a.png", "--timeout", "1e9", "u"}, "--timeout"},
        BadCase{{"--save", "a.png", "--format", "gif", "u"}, "--format"},
        BadCase{{"--save", "a.png", "--delay", "-1", "u"}, "--delay"},
        BadCase{{"--save", "a.png", "--wait-for", "", "u"}, "--wait-for"},
        BadCase{{"--save", "a.png", "--scale", "5", "u"}, "--scale"},
        BadCase{{"--save", "a.png", "--scale", "0", "u"}, "--scale"},
        BadCase{{"--scale", "2", "u"}, "--scale"},
        BadCase{{"--save", "a.gif", "u"}, "a.gif"},
        BadCase{{"--save", "", "u"}, "--save"},
        BadCase{{"--print", "--sheets", "3", "u"}, "--sheets"},
        BadCase{{"--print", "--sheets", "0x1", "u"}, "--sheets"},
        BadCase{{"--print", "--sheets", "1001x1", "u"}, "--sheets"},
        BadCase{{"--print", "--dpi", "10001", "u"}, "--dpi"},
        BadCase{{"--print", "--dpi", "5", "u"}, "--dpi"},
        BadCase{{"--print", "--margins", "-1", "u"}, "--margins"},
        BadCase{{"--save", "a.png", "--print", "u"}, "--print"},
        BadCase{{"--print", "--sheets", "2x2", "--dpi", "100", "u"}, "--dpi"},
        BadCase{{"--print", "--printer", "office", "--output", "a.pdf", "u"}, "--output"},
        BadCase{{"--print", "--printer", "PDF", "u"}, "--output"},
        BadCase{{"--print", "--format", "png", "u"}, "--format"},
        BadCase{{"--size", "100x100", "u"}, "--size"},
        BadCase{{"--printer", "office"}, "--printer"},
        BadCase{{"--save", "a.png"}, "URL"},
        BadCase{{"u1", "u2"}, "u2"},
        BadCase{{"--frobnicate", "u"}, "--frobnicate"},
        BadCase{{"--save"}, "--save"}),
        [](const testing::TestParamInfo<BadCase>& info) { return testname::FromArgs(info.param.args); });

TEST(CommandLine, UrlOfAnExistingFileIsItsFileUri)
{
    gchar* dir = g_dir_make_tmp("qv-cl-XXXXXX", nullptr);
    ASSERT_NE(dir, nullptr);
    const std::string file = std::string(dir) + "/map page.html";
    ASSERT_TRUE(g_file_set_contents(file.c_str(), "<p>", -1, nullptr));

    EXPECT_EQ(CommandLineUrl("map page.html", dir), "file://" + std::string(dir) + "/map%20page.html");
    EXPECT_EQ(CommandLineUrl(file, "/"), "file://" + std::string(dir) + "/map%20page.html");
    EXPECT_EQ(CommandLineUrl("https://example.org/a b", dir), "https://example.org/a b") << "URLs pass unchanged";
    EXPECT_EQ(CommandLineUrl("example.org", dir), "example.org") << "left for the browser to read as a host";
    EXPECT_EQ(CommandLineUrl(std::string(dir) + "/gone.html", "/"), "file://" + std::string(dir) + "/gone.html")
        << "an absolute path is never a host name";

    g_unlink(file.c_str());
    g_rmdir(dir);
    g_free(dir);
}

TEST(CommandLine, HelpNamesEveryOptionAndTheExitStatusesInBothLanguages)
{
    for (UiLanguage language : {UiLanguage::English, UiLanguage::Japanese}) {
        SetLanguage(language);
        const std::string help = CommandLineHelp();
        for (const char* option : {"--save=FILE", "--print", "--size=WxH", "--trim=L,T,R,B", "--format", "--printer=NAME",
                                   "--sheets=NxM", "--dpi=N", "--paper=NAME", "--landscape", "--margins=MM",
                                   "--output=FILE.pdf", "--timeout=SECONDS", "--delay=MS", "--wait-for=EXPR", "--scale=N", "--help", "--version", "xvfb-run", "  6  "})
            EXPECT_NE(help.find(option), std::string::npos) << option;
        EXPECT_NE(help.find(language == UiLanguage::Japanese ? "終了ステータス" : "Exit status"), std::string::npos);
    }
    SetLanguage(UiLanguage::Japanese);
    EXPECT_EQ(CommandLineVersion().rfind("quorvane ", 0), 0u);
}

}  // namespace

// A number out of range says which values are allowed; a poster the run
// would refuse for its sheet count is refused before anything is loaded.
TEST(CommandLine, RangeMessagesNameTheAllowedRange)
{
    const UiLanguage before = CurrentLanguage();
    SetLanguage(UiLanguage::English);
    const auto error = [](std::vector<std::string> args) { return Parse(std::move(args)).error; };
    EXPECT_NE(error({"--print", "--sheets", "0x1", "u"}).find("from 1 to 1000"), std::string::npos);
    EXPECT_NE(error({"--save", "a.png", "--timeout", "0", "u"}).find("from 1 to 86400"), std::string::npos);
    EXPECT_NE(error({"--print", "--dpi", "5", "u"}).find("from 10 to 10000"), std::string::npos);
    const CCommandLineResult tooMany = Parse({"--print", "--sheets", "40x26", "u"});
    EXPECT_EQ(tooMany.status, kExitUsage);
    EXPECT_NE(tooMany.error.find("1040"), std::string::npos) << tooMany.error;
    EXPECT_EQ(Parse({"--print", "--sheets", "40x25", "--output", "a.pdf", "u"}).status, kExitDone);
    SetLanguage(before);
}
