#include "controls/GuiInput.h"

#include "browser/QuorvaneView.h"
#include "errors/StringTable.h"
#include "settings/Setting.h"
#include "shell/CommandOpen.h"
#include "shell/OpenUrlDlg.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace guitest;

namespace {

std::string FixtureUrl(const std::string& name)
{
    const char* dir = std::getenv("QV_TEST_FIXTURES");
    return Glib::filename_to_uri(std::string(dir ? dir : "tests/fixtures") + "/" + name);
}

CMruStrings RecentUrls()
{
    CMruStrings urls;
    urls.Add("https://maps.example/");
    urls.Add("file:///srv/maps/tokyo.html");
    return urls;
}

class OpenUrlDlgTest : public testing::Test {
protected:
    void Open(const std::string& url)
    {
        SetLanguage(UiLanguage::Japanese);
        dialog = std::make_unique<COpenUrlDlg>();
        dialog->SetUrl(url);
        dialog->SetUrls(RecentUrls());
        dialog->InitDialog();
        ASSERT_TRUE(ShowActive(dialog->Dialog()));
    }

    Gtk::Entry& Edit() { return *dialog->UrlBox().get_entry(); }

    std::unique_ptr<COpenUrlDlg> dialog;
};

TEST_F(OpenUrlDlgTest, ShowsItsResourceTexts)
{
    Open("");
    EXPECT_EQ(dialog->Dialog().get_title(), "URL を開く");
    EXPECT_EQ(dialog->OkButton().get_label(), "開く");
    auto* cancel = dialog->Dialog().get_widget_for_response(IDCANCEL);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(static_cast<Gtk::Button*>(cancel)->get_label(), "キャンセル");
}

TEST_F(OpenUrlDlgTest, OkFollowsWhetherTheUrlIsEmpty)
{
    Open("");
    EXPECT_FALSE(dialog->OkButton().is_sensitive());
    EXPECT_TRUE(Edit().has_focus());
    Type("h");
    EXPECT_EQ(dialog->GetUrl(), "h");
    EXPECT_TRUE(dialog->OkButton().is_sensitive());
    Key("BackSpace");
    EXPECT_EQ(dialog->GetUrl(), "");
    EXPECT_FALSE(dialog->OkButton().is_sensitive());
    Type("  ");
    EXPECT_FALSE(dialog->OkButton().is_sensitive());
}

TEST_F(OpenUrlDlgTest, TypingTheStartOfARecentUrlDoesNotSelectIt)
{
    Open("");
    Type("file:///srv/maps/tok");
    EXPECT_EQ(dialog->UrlBox().get_active_row_number(), -1);
    EXPECT_EQ(Edit().get_text(), "file:///srv/maps/tok");
    EXPECT_EQ(dialog->GetUrl(), "file:///srv/maps/tok");
}

TEST_F(OpenUrlDlgTest, PrefillShowsAsTextOrSelectsTheEqualItem)
{
    Open("https://other.example/");
    EXPECT_EQ(dialog->UrlBox().get_active_row_number(), -1);
    EXPECT_EQ(Edit().get_text(), "https://other.example/");
    EXPECT_TRUE(dialog->OkButton().is_sensitive());

    Open("https://maps.example/");
    EXPECT_EQ(dialog->UrlBox().get_active_row_number(), 1);
    EXPECT_EQ(Edit().get_text(), "https://maps.example/");
}

TEST_F(OpenUrlDlgTest, PickingAnItemSetsTheUrl)
{
    Open("");
    dialog->UrlBox().set_active(0);
    Pump();
    EXPECT_EQ(dialog->GetUrl(), "file:///srv/maps/tokyo.html");
    EXPECT_TRUE(dialog->OkButton().is_sensitive());
}

// Drives the dialog titled "URL を開く" while it runs modally: `act` runs once
// it is up and has the focus. A dialog still open 15 seconds later is
// cancelled, so that a lost key fails the test instead of hanging it.
class CDialogDriver {
public:
    explicit CDialogDriver(std::function<void(Gtk::Dialog&)> act)
    {
        m_start = Glib::signal_timeout().connect(
            [this, act] {
                Gtk::Dialog* dialog = nullptr;
                PumpUntil([&] { return (dialog = Find()) && dialog->is_active(); });
                if (!dialog || !dialog->is_active()) {
                    ADD_FAILURE() << "the dialog did not come up with the focus";
                    if (dialog)
                        dialog->response(IDCANCEL);
                    return false;
                }
                m_watchdog = Glib::signal_timeout().connect(
                    [this] {
                        if (Gtk::Dialog* open = Find()) {
                            ADD_FAILURE() << "the dialog was still open";
                            open->response(IDCANCEL);
                        }
                        return false;
                    },
                    15000);
                act(*dialog);
                return false;
            },
            20);
    }
    ~CDialogDriver()
    {
        m_start.disconnect();
        m_watchdog.disconnect();
    }

private:
    static Gtk::Dialog* Find()
    {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
            if (window->get_title() == "URL を開く" && window->get_visible())
                return dynamic_cast<Gtk::Dialog*>(window);
        }
        return nullptr;
    }

    sigc::connection m_start;
    sigc::connection m_watchdog;
};

Gtk::ComboBoxText& UrlBoxOf(Gtk::Dialog& dialog)
{
    return *dynamic_cast<Gtk::ComboBoxText*>(dialog.get_content_area()->get_children().at(0));
}

TEST(OpenUrlDlgModalTest, PickFollowedAtOnceByOkIsTheUrl)
{
    SetLanguage(UiLanguage::Japanese);
    COpenUrlDlg dialog;
    dialog.SetUrls(RecentUrls());
    CDialogDriver driver([](Gtk::Dialog& shown) {
        UrlBoxOf(shown).set_active(1);
        shown.response(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.GetUrl(), "https://maps.example/");
}

// Answers message boxes and records them.
class CRecordingMsg : public qvn::CMsg {
public:
    int ShowText(const std::string& text, unsigned type) override
    {
        shown.push_back(text);
        return IDOK;
    }
    std::vector<std::string> shown;
};

class CommandOpenTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        setting.url = "https://start.example/";
        setting.urls = RecentUrls();
        frame.add(view.Widget());
        frame.set_default_size(300, 200);
        ASSERT_TRUE(ShowActive(frame));
    }

    void SetClipboard(const std::string& text)
    {
        Gtk::Clipboard::get()->set_text(text);
        Pump();
    }

    CSetting setting;
    CQuorvaneView view;
    Gtk::Window frame;
    CRecordingMsg msg;
    CCommandOpen command{msg, setting, view};
};

TEST_F(CommandOpenTest, OpensTheTypedUrlAndPutsItAtTheHead)
{
    const std::string url = FixtureUrl("open-url-page.html");
    SetClipboard("  " + url + "\r\nsecond line");
    std::string prefill;
    CDialogDriver driver([&](Gtk::Dialog& shown) {
        prefill = UrlBoxOf(shown).get_entry()->get_text();
        Key("Return");
    });
    command.RunAndReport(true, false);

    EXPECT_EQ(prefill, url);
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(setting.url, url);
    EXPECT_EQ(setting.urls.Items().front(), url);
    EXPECT_EQ(setting.urls.Items().size(), 3u);
    std::string title;
    EXPECT_TRUE(PumpUntil([&] { return view.ReadyState() == 4 && view.GetLocationName(title); }, 20000));
    EXPECT_EQ(title, "Open URL fixture");
    std::string location;
    EXPECT_TRUE(view.GetLocationURL(location));
    EXPECT_EQ(location, url);
}

TEST_F(CommandOpenTest, OpeningARecentUrlMovesItToTheHead)
{
    SetClipboard("");
    CDialogDriver driver([](Gtk::Dialog&) {
        Type("file:///srv/maps/tokyo.html");
        Key("Return");
    });
    command.RunAndReport(true, false);
    EXPECT_EQ(setting.urls.Items(),
              (std::vector<std::string>{"file:///srv/maps/tokyo.html", "https://maps.example/"}));
}

TEST_F(CommandOpenTest, CancelChangesNothing)
{
    SetClipboard(FixtureUrl("open-url-page.html"));
    CDialogDriver driver([](Gtk::Dialog&) { Key("Escape"); });
    command.RunAndReport(true, false);
    EXPECT_EQ(setting.url, "https://start.example/");
    EXPECT_EQ(setting.urls, RecentUrls());
    EXPECT_TRUE(msg.shown.empty());
}

TEST_F(CommandOpenTest, RefusedUrlIsReportedAfterItWasStored)
{
    SetClipboard("http://[::1");
    CDialogDriver driver([](Gtk::Dialog& shown) { shown.response(IDOK); });
    command.RunAndReport(true, false);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].rfind("ナビゲートに失敗しました: ", 0), 0u) << msg.shown[0];
    EXPECT_EQ(setting.url, "http://[::1");
    EXPECT_EQ(setting.urls.Items().front(), "http://[::1");
}

}  // namespace
