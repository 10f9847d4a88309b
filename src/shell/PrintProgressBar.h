#pragma once
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/progressbar.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

class CPrintProgress;

// The status bar's view of a running print job: a progress bar and a small
// stop button. It reads the worker's progress on a timer of the main loop,
// never waiting for the worker.
class CPrintProgressBar : public Gtk::Box {
public:
    CPrintProgressBar();
    ~CPrintProgressBar() override;

    // Shows the bar and follows `progress` until Stop. The object must live
    // until then (the print task does: it lives as long as the window).
    void Follow(const CPrintProgress& progress);
    void Stop();
    bool IsFollowing() const { return m_progress != nullptr; }

    double Fraction() const { return m_bar.get_fraction(); }
    Gtk::Button& StopButton() { return m_stop; }

    // The sheet being sent and the total at each change; none at Stop.
    std::function<void(std::optional<std::pair<int32_t, int32_t>> sheetOfTotal)> onProgress;
    // The stop button was pressed.
    std::function<void()> onStopClicked;

private:
    bool Tick();

    Gtk::ProgressBar m_bar;
    Gtk::Button m_stop;
    const CPrintProgress* m_progress = nullptr;
    sigc::connection m_timer;
    std::optional<std::pair<int32_t, int32_t>> m_shown;
};
