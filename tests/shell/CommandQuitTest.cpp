#include "shell/CommandQuit.h"

#include "browser/QuorvaneView.h"
#include "settings/RecordingMsg.h"
#include "settings/SettingStore.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace {

class CommandQuit : public testing::Test {
protected:
    CSettingLocation Location() const { return {folder / "Brackwater/Quorvane", "Quorvane32.config"}; }

    // The settings as a fresh start would read them back.
    CSetting ReadBack()
    {
        CRecordingMsg quiet;
        CSetting setting;
        EXPECT_TRUE(g_file_test(Location().Path().c_str(), G_FILE_TEST_EXISTS));
        EXPECT_TRUE(LoadSettings(setting, quiet, Location().Path()));
        EXPECT_TRUE(quiet.shown.empty());
        return setting;
    }

    // Loads the fixture page into `view`, waiting for the load to complete.
    std::string LoadFixture(CQuorvaneView& view)
    {
        gchar* path = g_build_filename(std::getenv("QV_TEST_FIXTURES"), "settings-quit.html", nullptr);
        gchar* uri = g_filename_to_uri(path, nullptr, nullptr);
        const std::string url = uri;
        g_free(uri);
        g_free(path);
        window.add(view.Widget());
        window.show_all();
        view.Navigate(url);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (view.ReadyState() != 4 && std::chrono::steady_clock::now() < until)
            g_main_context_iteration(nullptr, FALSE);
        EXPECT_EQ(view.ReadyState(), 4);
        return url;
    }

    CTempFolder folder;
    CSetting setting;
    Gtk::Window window;
};

TEST_F(CommandQuit, KeepsThePageShownAndWritesTheFile)
{
    CQuorvaneView view;
    const std::string url = LoadFixture(view);
    setting.width = 1500;
    CRecordingMsg msg;
    CCommandQuit quit(&msg, setting, &view, Location());
    quit.RunAndReport(true, false);

    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(setting.url, url);
    const CSetting read = ReadBack();
    EXPECT_EQ(read.url, url);
    EXPECT_EQ(read.width, 1500);
}

TEST_F(CommandQuit, AnUnreadableUrlIsShownAndTheFileStillWritten)
{
    CQuorvaneView view;  // nothing loaded: no location to read
    setting.url = "https://previous.example/";
    CRecordingMsg msg;
    CCommandQuit quit(&msg, setting, &view, Location());
    quit.RunAndReport(true, false);

    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].text, std::string("現在の URL の取得に失敗しました: ") + g_strerror(ENODATA));
    EXPECT_EQ(msg.shown[0].type, MB_ICONERROR);
    EXPECT_EQ(ReadBack().url, "https://previous.example/");

    CCommandQuit withoutView(&msg, setting, nullptr, Location());
    withoutView.RunAndReport(true, false);
    EXPECT_EQ(msg.shown.size(), 2u);
}

TEST_F(CommandQuit, AFolderThatCannotBeCreatedIsShownOnce)
{
    ASSERT_TRUE(CTempFolder::WriteFile(folder / "Brackwater", "not a folder"));
    CQuorvaneView view;
    const std::string url = LoadFixture(view);
    CRecordingMsg msg;
    CCommandQuit quit(&msg, setting, &view, Location());
    quit.RunAndReport(true, false);

    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].text.rfind("フォルダーの作成に失敗しました - ", 0), 0u) << msg.shown[0].text;
    EXPECT_EQ(msg.shown[0].type, MB_ICONERROR);
    EXPECT_EQ(setting.url, url);
}

TEST_F(CommandQuit, DoesNothingWhenNotToExecute)
{
    CRecordingMsg msg;
    CCommandQuit quit(&msg, setting, nullptr, Location());
    EXPECT_TRUE(quit.Test());
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_FALSE(g_file_test(Location().folder.c_str(), G_FILE_TEST_EXISTS));
}

}  // namespace
