#include "printing/dialogs/AssemblyGroup.h"

#include "controls/BuilderWidget.h"
#include "errors/Exception.h"

#include <gtkmm/checkbutton.h>
#include <gtkmm/entry.h>

#include <algorithm>

namespace {

template <class T>
T* Widget(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& name)
{
    return BuilderWidget<T>(builder, "ui/pagesetup", name);
}

}  // namespace

void CAssemblyGroup::Bind(const Glib::RefPtr<Gtk::Builder>& builder, const CAssemblySetting& setting,
                          std::function<void()> changed)
{
    m_setting = setting;
    m_setting.overlap = kOverlapLimits.Clamp(m_setting.overlap);
    m_changed = std::move(changed);
    m_overlapBox.Bind(*Widget<Gtk::Entry>(builder, "editOverlap"), this, &CAssemblyGroup::GetOverlap,
                      &CAssemblyGroup::SetOverlap);
    // Refused text stays when the focus leaves, so that OK reports it.
    m_overlapBox.KeepRefusedText();
    m_overlapBox.ShowValue();
    using Getter = bool (CAssemblyGroup::*)() const;
    using Setter = void (CAssemblyGroup::*)(bool);
    const std::tuple<const char*, Getter, Setter> aids[] = {
        {"checkCutGuides", &CAssemblyGroup::GetCutGuides, &CAssemblyGroup::SetCutGuides},
        {"checkSheetLabels", &CAssemblyGroup::GetSheetLabels, &CAssemblyGroup::SetSheetLabels},
        {"checkAssemblySheet", &CAssemblyGroup::GetAssemblySheet, &CAssemblyGroup::SetAssemblySheet}};
    for (size_t i = 0; i < 3; ++i) {
        const auto& [name, getter, setter] = aids[i];
        m_aidBoxes[i].Bind(*Widget<Gtk::CheckButton>(builder, name), this, getter, setter);
        m_aidBoxes[i].ShowValue();
    }
}

void CAssemblyGroup::CommitTyped()
{
    if (Gtk::Entry* entry = m_overlapBox.Entry())
        m_overlapBox.Commit(entry->get_text());
}

void CAssemblyGroup::SetOverlap(int value)
{
    const int overlap = kOverlapLimits.Clamp(value);
    if (overlap == m_setting.overlap)
        return;
    m_setting.overlap = overlap;
    Changed();
}

void CAssemblyGroup::Set(bool& member, bool value)
{
    if (member == value)
        return;
    member = value;
    Changed();
}

void CAssemblyGroup::Changed()
{
    if (m_changed)
        m_changed();
}
