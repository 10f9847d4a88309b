// What a page may ask of the browser in silent mode: leaving it is never
// refused quietly, and a file it offers for download is refused out loud.
#include "GuiTestUtil.h"
#include "controls/GuiInput.h"

#include "browser/QuorvaneView.h"

#include <gtest/gtest.h>
#include <gtkmm.h>
#include <webkit2/webkit2.h>

namespace {

class PageRequests : public testing::Test {
protected:
    void SetUp() override
    {
        window.set_default_size(400, 300);
        window.add(view.Widget());
        ASSERT_TRUE(guitest::ShowActive(window));
        view.PutSilent(true);
    }

    bool LoadAndWait(const std::string& url, const std::string& title)
    {
        view.Navigate(url);
        return RunUntil([&] {
            std::string shown;
            return view.ReadyState() == 4 && view.GetLocationName(shown) && shown == title;
        });
    }

    Gtk::Window window;
    CQuorvaneView view;
};

TEST_F(PageRequests, APageThatAsksBeforeItIsLeftIsLeft)
{
    ASSERT_TRUE(LoadAndWait(FixtureUrl("leave-guard.html"), "guarded"));
    // The question is only asked of a page the user has typed into.
    view.Widget().grab_focus();
    ASSERT_TRUE(guitest::Type("abc"));
    ASSERT_TRUE(RunUntil([&] {
        std::string title;
        return view.GetLocationName(title) && title == "typed";
    }));
    // A link followed: the page itself starts leaving.
    webkit_web_view_evaluate_javascript(view.WebView(), "document.getElementById('away').click()", -1, nullptr,
                                        nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(RunUntil([&] {
        std::string url;
        return view.ReadyState() == 4 && view.GetLocationURL(url) && url == FixtureUrl("shell-page.html");
    }));
}

TEST_F(PageRequests, ADownloadIsRefusedAndReported)
{
    std::vector<std::string> refused;
    view.onDownloadRefused = [&](const std::string& url) { refused.push_back(url); };
    view.Navigate(FixtureUrl("download-start.html"));
    ASSERT_TRUE(RunUntil([&] { return !refused.empty(); }));
    EXPECT_EQ(refused, std::vector<std::string>{"data:application/octet-stream;base64,UVZCSU4AAQID"});
    const char* downloads = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    gchar* written = g_build_filename(downloads ? downloads : g_get_home_dir(), "map-data.bin", nullptr);
    Settle(0.5);
    EXPECT_FALSE(g_file_test(written, G_FILE_TEST_EXISTS)) << written;
    g_free(written);
}

}  // namespace
