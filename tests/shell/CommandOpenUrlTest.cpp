#include "errors/StringTable.h"
#include "settings/RecordingMsg.h"
#include "shell/CommandIds.h"
#include "shell/Commands.h"

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cstdlib>
#include <string>

namespace {

// A desktop without any application: set before GTK or GIO read their
// folders (they keep what they read first), hence at static initialisation.
const bool g_noApplications = [] {
    char folder[] = "/tmp/qv-no-apps.XXXXXX";
    if (!mkdtemp(folder))
        return false;
    for (const char* variable : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"})
        setenv(variable, folder, 1);
    return true;
}();

TEST(CommandOpenUrl, WithoutAnApplicationForThePageTheFailureIsShown)
{
    ASSERT_TRUE(g_noApplications);
    SetLanguage(UiLanguage::Japanese);
    Gtk::Window window;
    window.show();
    CRecordingMsg msg;
    CCommandOpenUrl command(&msg);
    command.SetParent(&window);
    command.SetStringId(IDS_HOMEPAGE_URL);
    command.RunAndReport(true, false);
    ASSERT_EQ(msg.shown.size(), 1u);
    const std::string& text = msg.shown[0].text;
    EXPECT_EQ(text.rfind("ファイルを開けませんでした - ", 0), 0u) << text;
    EXPECT_NE(text.find("home.html "), std::string::npos) << text;
}

}  // namespace
