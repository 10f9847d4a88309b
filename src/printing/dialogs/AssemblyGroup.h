#pragma once
#include "controls/ButtonControls.h"
#include "controls/EditWantReturn.h"
#include "controls/MillimetreConverter.h"
#include "printing/PageSetting.h"

#include <gtkmm/builder.h>

#include <functional>

// The page setup dialog's group "貼り合わせ": the glue overlap in millimetres
// with one decimal (brought into 0 to 30 mm, as the margins are raised to
// what the printer can do) and the three aids. It edits its own copy and
// says when something changed, so that the preview follows.
class CAssemblyGroup {
public:
    void Bind(const Glib::RefPtr<Gtk::Builder>& builder, const CAssemblySetting& setting, std::function<void()> changed);
    const CAssemblySetting& Setting() const { return m_setting; }
    // An overlap typed but not yet committed counts as well; text that is
    // not a number raises my::CCtrlException naming the overlap's box.
    void CommitTyped();

    int GetOverlap() const { return m_setting.overlap; }
    void SetOverlap(int value);
    bool GetCutGuides() const { return m_setting.cutGuides; }
    void SetCutGuides(bool value) { Set(m_setting.cutGuides, value); }
    bool GetSheetLabels() const { return m_setting.sheetLabels; }
    void SetSheetLabels(bool value) { Set(m_setting.sheetLabels, value); }
    bool GetAssemblySheet() const { return m_setting.assemblySheet; }
    void SetAssemblySheet(bool value) { Set(m_setting.assemblySheet, value); }

private:
    void Set(bool& member, bool value);
    void Changed();

    CAssemblySetting m_setting;
    std::function<void()> m_changed;
    CEditWantReturn<CAssemblyGroup, CMillimetreConverter> m_overlapBox;
    CButtonBool<CAssemblyGroup> m_aidBoxes[3];
};
