#include "shell/PrintProgressBar.h"

#include "errors/StringTable.h"
#include "printing/job/PrintProgress.h"
#include "shell/CommandIds.h"

#include <glibmm/main.h>

#include <algorithm>

namespace {

// Often enough for a sheet that takes a fraction of a second, rarely
// enough to cost nothing.
constexpr unsigned kTickMs = 100;

}  // namespace

CPrintProgressBar::CPrintProgressBar() : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 4)
{
    set_name("print-progress");
    m_bar.set_valign(Gtk::ALIGN_CENTER);
    m_bar.set_size_request(160, -1);
    m_stop.set_image_from_icon_name("process-stop", Gtk::ICON_SIZE_MENU);
    m_stop.set_relief(Gtk::RELIEF_NONE);
    m_stop.set_focus_on_click(false);
    m_stop.set_name("print-stop");
    m_stop.set_tooltip_text(LoadString(IDS_STOP_PRINTING));
    m_stop.signal_clicked().connect([this] {
        if (onStopClicked)
            onStopClicked();
    });
    pack_start(m_bar, Gtk::PACK_SHRINK);
    pack_start(m_stop, Gtk::PACK_SHRINK);
    show_all_children();
    set_no_show_all(true);
}

CPrintProgressBar::~CPrintProgressBar() { m_timer.disconnect(); }

void CPrintProgressBar::Follow(const CPrintProgress& progress)
{
    m_progress = &progress;
    m_shown.reset();
    m_bar.set_fraction(0);
    show();
    Tick();
    if (!m_timer.connected())
        m_timer = Glib::signal_timeout().connect(sigc::mem_fun(*this, &CPrintProgressBar::Tick), kTickMs);
}

void CPrintProgressBar::Stop()
{
    m_timer.disconnect();
    m_progress = nullptr;
    m_shown.reset();
    hide();
    if (onProgress)
        onProgress(std::nullopt);
}

bool CPrintProgressBar::Tick()
{
    if (!m_progress)
        return false;
    const CPrintProgress::Values values = m_progress->Read();
    if (values.total <= 0)
        return true;  // the worker has not counted the sheets yet
    m_bar.set_fraction(std::clamp(double(values.sent) / values.total, 0.0, 1.0));
    const std::pair<int32_t, int32_t> shown{std::clamp(values.sheet, 1, values.total), values.total};
    if (shown != m_shown) {
        m_shown = shown;
        if (onProgress)
            onProgress(shown);
    }
    return true;
}
