#include "GuiTestUtil.h"
#include "printing/PageSetupDriver.h"

#include "errors/Exception.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "settings/Setting.h"
#include "settings/RecordingMsg.h"
#include "settings/SettingStore.h"
#include "settings/TempFolder.h"
#include "shell/CommandIds.h"
#include "shell/CommandQuit.h"
#include "shell/MainFrame.h"

#include <gtest/gtest.h>
#include <gtkmm/dialog.h>

#include <chrono>
#include <vector>

namespace {

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        setting.url = FixtureUrl("shell-page.html");
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string& caption, unsigned type) {
            boxes.push_back({text, caption});
            return IDOK;
        });
    }
    void TearDown() override { CMessageBoxMsg::SetTestResponder(nullptr); }

    struct Box {
        std::string text, caption;
    };
    CSetting setting;
    std::vector<Box> boxes;
};

TEST_F(MainFrameTest, StatusGoesFromLoadingToReadyAsTheStartPageLoads)
{
    CMainFrame frame(setting);
    std::vector<std::string> texts;
    frame.StatusBar().signal_text_pushed().connect([&](guint, const Glib::ustring& text) { texts.push_back(text); });
    frame.Create();
    // The page's own resource (its file) may end just after the load event.
    ASSERT_TRUE(RunUntil([&] {
        return frame.Browser().ReadyState() == 4 && frame.get_visible() && frame.StatusText() == "準備完了";
    }));
    std::string seen;
    for (const std::string& text : texts)
        seen += text + "|";
    ASSERT_GE(texts.size(), 2u) << seen;
    EXPECT_EQ(texts[texts.size() - 2], "ロード中...") << seen;
    EXPECT_EQ(texts.back(), "準備完了") << seen;
    std::string url;
    ASSERT_TRUE(frame.Browser().GetLocationURL(url));
    EXPECT_EQ(url, setting.url);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFrameTest, BarToggledTwiceRestoresLayoutAndCheckMark)
{
    CMainFrame frame(setting);
    frame.Create();
    ASSERT_TRUE(RunUntil([&] { return frame.get_visible(); }));
    const auto bandsBefore = frame.ReBar().Layout().Bands();
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_DLGBAR, ID_VIEW_STATUS_BAR}) {
        EXPECT_TRUE(frame.IsBarChecked(id)) << id;
        frame.Dispatch(id);
        EXPECT_FALSE(frame.IsBarChecked(id)) << id;
    }
    EXPECT_FALSE(setting.mainFrame.showToolBar);
    EXPECT_FALSE(setting.mainFrame.showDlgBar);
    EXPECT_FALSE(setting.mainFrame.showStatusBar);
    EXPECT_FALSE(frame.ReBar().IsBandVisible(kBandToolBar));
    EXPECT_FALSE(frame.StatusBar().get_visible());
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_DLGBAR, ID_VIEW_STATUS_BAR})
        frame.Dispatch(id);
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_DLGBAR, ID_VIEW_STATUS_BAR})
        EXPECT_TRUE(frame.IsBarChecked(id)) << id;
    EXPECT_TRUE(frame.ReBar().IsBandVisible(kBandToolBar));
    EXPECT_TRUE(frame.ReBar().IsBandVisible(kBandSizeBar));
    EXPECT_TRUE(frame.StatusBar().get_visible());
    const auto bandsAfter = frame.ReBar().Layout().Bands();
    ASSERT_EQ(bandsAfter.size(), bandsBefore.size());
    for (size_t i = 0; i < bandsAfter.size(); ++i) {
        EXPECT_EQ(bandsAfter[i].id, bandsBefore[i].id);
        EXPECT_EQ(bandsAfter[i].breakLine, bandsBefore[i].breakLine);
    }
}

class FailingCommand : public CCommand {
public:
    using CCommand::CCommand;
    void Execute(bool) override { throw my::CException(188, SysErr{0, "reload refused"}); }
};

TEST_F(MainFrameTest, FailingCommandShowsOneErrorBoxAndTheNextCommandWorks)
{
    CMainFrame frame(setting);
    frame.Create();
    ASSERT_TRUE(RunUntil([&] { return frame.Browser().ReadyState() == 4; }));
    frame.SetCommand(ID_VIEW_REFRESH, std::make_shared<FailingCommand>(&TheMsg()));
    frame.Dispatch(ID_VIEW_REFRESH);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "最新の情報に更新に失敗しました: reload refused");
    EXPECT_EQ(boxes[0].caption, "エラー");
    frame.Dispatch(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(frame.IsBarChecked(ID_VIEW_TOOLBAR));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(MainFrameTest, RecommendedSiteGoesToTheRecentUrlsButNotTheStartUrl)
{
    CMainFrame frame(setting);
    frame.Create();
    ASSERT_TRUE(RunUntil([&] { return frame.Browser().ReadyState() == 4; }));
    const std::string startUrl = setting.url;
    frame.Dispatch(ID_LINK_LAST);  // the program's own links page, no network needed
    ASSERT_EQ(setting.urls.Items().size(), 1u);
    EXPECT_EQ(setting.urls.Items()[0], LoadString(IDS_LINK_URL_FIRST + 3));
    EXPECT_EQ(setting.url, startUrl);
    ASSERT_TRUE(RunUntil([&] {
        std::string title;
        return frame.Browser().ReadyState() == 4 && frame.Browser().GetLocationName(title) && title == "おすすめリンク集";
    }));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFrameTest, MenuTextsAndRecommendedSitesSubmenu)
{
    CMainFrame frame(setting);
    frame.Create();
    std::vector<std::string> top;
    Gtk::MenuBar* bar = nullptr;
    for (Gtk::Widget* row : frame.ReBar().get_children()) {
        for (Gtk::Widget* child : static_cast<Gtk::Container*>(row)->get_children()) {
            if (auto* found = dynamic_cast<Gtk::MenuBar*>(child))
                bar = found;
        }
    }
    ASSERT_NE(bar, nullptr);
    for (Gtk::Widget* item : bar->get_children())
        top.push_back(static_cast<Gtk::MenuItem*>(item)->get_label());
    EXPECT_EQ(top, (std::vector<std::string>{"ファイル(_F)", "編集(_E)", "表示(_V)", "ヘルプ(_H)"}));
    auto* file = static_cast<Gtk::MenuItem*>(bar->get_children()[0])->get_submenu();
    auto fileItems = file->get_children();
    auto* links = static_cast<Gtk::MenuItem*>(fileItems[1]);
    EXPECT_EQ(links->get_label(), "おすすめサイト");
    std::vector<std::string> linkTexts;
    for (Gtk::Widget* item : links->get_submenu()->get_children())
        linkTexts.push_back(static_cast<Gtk::MenuItem*>(item)->get_label());
    EXPECT_EQ(linkTexts, (std::vector<std::string>{"Google", "Google マップ - 地図検索", "地図検索なら Mapion", "おすすめリンク集"}));
}

// Closing writes the settings into a folder of the test's own.
class MainFrameClosing : public MainFrameTest {
protected:
    void TearDown() override
    {
        TheMsg().SetBoxesAllowed(true);
        MainFrameTest::TearDown();
    }
    CSettingLocation Location() const { return {folder / "Quorvane", "Quorvane32.config"}; }
    void UseOwnSettingsFile(CMainFrame& frame)
    {
        frame.SetCommand(kCommandQuit, std::make_shared<CCommandQuit>(&TheMsg(), setting, &frame.Browser(), Location()));
    }
    CSetting ReadBack()
    {
        CRecordingMsg quiet;
        CSetting written;
        EXPECT_TRUE(LoadSettings(written, quiet, Location().Path()));
        EXPECT_TRUE(quiet.shown.empty());
        return written;
    }
    CTempFolder folder;
};

TEST_F(MainFrameClosing, AWidthTypedWithoutEnterIsWrittenAtClose)
{
    CMainFrame frame(setting);
    frame.Create();
    UseOwnSettingsFile(frame);
    ASSERT_TRUE(RunUntil([&] { return frame.get_visible(); }));
    Gtk::Entry& width = frame.BarDlg().Edit(CBarDlg::IDC_WIDTH);
    width.grab_focus();
    width.set_text("800");
    frame.close();
    ASSERT_TRUE(RunUntil([&] { return !frame.get_visible(); }));
    EXPECT_EQ(setting.width, 800);
    EXPECT_EQ(ReadBack().width, 800);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFrameClosing, TheSessionEndingDismissesAnOpenDialogAndWritesTheSettings)
{
    CMainFrame frame(setting);
    frame.Create();
    UseOwnSettingsFile(frame);
    ASSERT_TRUE(RunUntil([&] { return frame.Browser().ReadyState() == 4 && frame.get_visible(); }));
    bool ended = false, aboutShown = false;
    // The About box runs modally; the session ends once it is on the screen
    // (or after a minute without it, so that the test ends either way).
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    Glib::signal_timeout().connect(
        [&] {
            for (Gtk::Window* w : Gtk::Window::list_toplevels())
                if (dynamic_cast<Gtk::Dialog*>(w) && w->get_mapped())
                    aboutShown = true;
            if (!aboutShown && std::chrono::steady_clock::now() < limit)
                return true;
            frame.EndSession();
            ended = true;
            return false;
        },
        10);
    frame.Dispatch(ID_APP_ABOUT);
    EXPECT_TRUE(aboutShown) << "the About box did not appear";
    EXPECT_TRUE(ended);
    EXPECT_FALSE(frame.get_visible());
    const CSetting written = ReadBack();
    EXPECT_EQ(written.url, setting.url);
    EXPECT_EQ(written.mainFrame.bands, setting.mainFrame.bands);
    EXPECT_FALSE(written.mainFrame.bands.empty());
}

// The window manager's close reaches no window under the page setup dialog
// (the modal dialog holds the grab): nothing is written or hidden, the
// dialog's OK is kept, and the next close writes it.
TEST_F(MainFrameClosing, ACloseWhileThePageSetupDialogIsOpenLosesNothing)
{
    // No CUPS server: the print task's printer is the built-in "PDF".
    g_setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", TRUE);
    ASSERT_EQ(setting.pageSetting.fitType, FIT);
    CMainFrame frame(setting);
    frame.Create();
    UseOwnSettingsFile(frame);
    ASSERT_TRUE(RunUntil([&] { return frame.Browser().ReadyState() == 4 && frame.get_visible(); }));
    RunPageSetup(
        [&] {
            frame.Dispatch(ID_FILE_PAGE_SETUP);
            return 0;
        },
        [&] {
            Gtk::Dialog* dialog = ShownPageSetupDialog();
            // The close request is handled from an idle callback of default
            // priority; a lower one runs after it.
            frame.close();
            bool handled = false;
            Glib::signal_idle().connect_once([&] { handled = true; }, G_PRIORITY_LOW);
            ASSERT_TRUE(RunUntil([&] { return handled; }));
            EXPECT_TRUE(frame.get_visible());
            EXPECT_TRUE(dialog->get_visible());
            EXPECT_FALSE(g_file_test(Location().Path().c_str(), G_FILE_TEST_EXISTS)) << "written before the OK";
            guitest::Key("alt+d");
            dynamic_cast<Gtk::Button*>(FindBuilderId(*dialog, "ok"))->clicked();
        });
    EXPECT_EQ(setting.pageSetting.fitType, DPI);
    frame.close();
    ASSERT_TRUE(RunUntil([&] { return !frame.get_visible(); }));
    EXPECT_EQ(ReadBack().pageSetting.fitType, DPI);
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
