#include "shell/AboutDlg.h"

#include "errors/Msg.h"
#include "settings/AppInfo.h"

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <chrono>
#include <vector>

namespace {

// Runs the main loop until `done` or two seconds have passed.
template <class Done>
bool IterateUntil(Done done)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done() && std::chrono::steady_clock::now() < until)
        g_main_context_iteration(nullptr, FALSE);
    return done();
}

// Value of the attribute `type` at the start of the label's text.
PangoAttribute* AttributeAtStart(Gtk::Label& label, PangoAttrType type)
{
    PangoAttrList* list = gtk_label_get_attributes(label.gobj());
    if (!list)
        return nullptr;
    PangoAttrIterator* it = pango_attr_list_get_iterator(list);
    PangoAttribute* found = pango_attr_iterator_get(it, type);
    pango_attr_iterator_destroy(it);
    return found;
}

// A click as the window system delivers it: press and release of button 1.
void Click(Gtk::Widget& widget)
{
    for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* event = gdk_event_new(type);
        event->button.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
        event->button.button = 1;
        event->button.x = 2;
        event->button.y = 2;
        gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
        gtk_main_do_event(event);
        gdk_event_free(event);
    }
}

TEST(AboutDlg, ShowsTheProgramAndItsHomePage)
{
    CAboutDlg dialog;
    const CAppInfo& info = TheAppInfo();
    EXPECT_EQ(dialog.Dialog().get_title(), "バージョン情報");
    EXPECT_EQ(dialog.NameLine().get_text(), "Quorvane  " + info.VersionText());
    EXPECT_EQ(dialog.LegalLine().get_text(), "Copyright (C) 2026 Brackwater");
    EXPECT_EQ(dialog.Link().get_text(), info.homePageUrl);
    EXPECT_EQ(dialog.Icon().get_storage_type(), Gtk::IMAGE_PIXBUF);

    auto* underline = reinterpret_cast<PangoAttrInt*>(AttributeAtStart(dialog.Link(), PANGO_ATTR_UNDERLINE));
    ASSERT_NE(underline, nullptr);
    EXPECT_EQ(underline->value, PANGO_UNDERLINE_SINGLE);
    auto* colour = reinterpret_cast<PangoAttrColor*>(AttributeAtStart(dialog.Link(), PANGO_ATTR_FOREGROUND));
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->color.red, 0);
    EXPECT_EQ(colour->color.green, 0);
    EXPECT_EQ(colour->color.blue, 0xFFFF);
    EXPECT_EQ(AttributeAtStart(dialog.NameLine(), PANGO_ATTR_UNDERLINE), nullptr);
}

TEST(AboutDlg, TheLinkShowsAHandAndOpensTheHomePageWhenClicked)
{
    std::vector<std::string> opened;
    CAboutDlg dialog([&](Gtk::Window* parent, const std::string& uri) {
        EXPECT_EQ(parent, &dialog.Dialog());
        opened.push_back(uri);
        return true;
    });
    dialog.Dialog().show();
    ASSERT_TRUE(IterateUntil([&] { return dialog.LinkArea().get_window() && dialog.Dialog().get_mapped(); }));
    Glib::RefPtr<Gdk::Cursor> cursor = dialog.LinkArea().get_window()->get_cursor();
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->get_cursor_type(), Gdk::HAND2);

    Click(dialog.LinkArea());
    EXPECT_EQ(opened, std::vector<std::string>{TheAppInfo().homePageUrl});
    dialog.Dialog().hide();
}

// A click on a link that the desktop cannot open, in the dialog's modal
// run: no window comes up and the dialog keeps running until it is closed.
TEST(AboutDlg, ALinkThatCannotBeOpenedOnlyBeeps)
{
    CAboutDlg dialog;
    // No application handles this scheme, so the desktop cannot open it.
    dialog.Link().set_text("quorvane-test-no-handler://home");
    std::vector<int> responses;
    dialog.Dialog().signal_response().connect([&](int response) { responses.push_back(response); });
    bool opened = true, shownAfterClick = false;
    size_t windowsBefore = 0, windowsAfter = 0;
    Glib::signal_idle().connect_once([&] {
        if (IterateUntil([&] { return dialog.LinkArea().get_window() && dialog.Dialog().get_mapped(); })) {
            windowsBefore = Gtk::Window::list_toplevels().size();
            opened = dialog.OpenLink();
            Click(dialog.LinkArea());
            // Anything the click started has had its turn.
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
            windowsAfter = Gtk::Window::list_toplevels().size();
            shownAfterClick = dialog.Dialog().get_mapped() && responses.empty();
        }
        dialog.Dialog().close();
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_FALSE(opened);
    EXPECT_TRUE(shownAfterClick);
    EXPECT_EQ(windowsAfter, windowsBefore);
    EXPECT_EQ(responses, std::vector<int>{GTK_RESPONSE_DELETE_EVENT});
}

TEST(AboutDlg, OkEndsWithOneAndClosingWithTwo)
{
    CAboutDlg dialog;
    Glib::signal_idle().connect_once([&] { dialog.Dialog().response(IDOK); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);

    // Escape and the window's close button both ask the window to close.
    Glib::signal_idle().connect_once([&] { dialog.Dialog().close(); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST(AboutDlg, CentresOnItsParent)
{
    Gtk::Window owner;
    owner.show();
    CAboutDlg dialog;
    Glib::signal_idle().connect_once([&] {
        EXPECT_EQ(dialog.Dialog().get_transient_for(), &owner);
        EXPECT_EQ(dialog.Dialog().property_window_position().get_value(), Gtk::WIN_POS_CENTER_ON_PARENT);
        dialog.Dialog().response(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(&owner), IDOK);
}

}  // namespace
