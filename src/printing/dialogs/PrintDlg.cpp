#include "printing/dialogs/PrintDlg.h"

#include "controls/BuilderWidget.h"
#include "controls/DialogEnter.h"
#include "common/NumberText.h"
#include "controls/UiTexts.h"
#include "errors/Exception.h"
#include "controls/MessageBoxMsg.h"
#include "errors/ProgramMessages.h"
#include "errors/Resources.h"

#include <gtkmm/button.h>

#include <algorithm>
#include <climits>

namespace {

// The widgets of ui/print.ui carry the control ids in their names.
std::string ControlName(int id)
{
    switch (id) {
    case CPrintDlg::IDC_ALL:
    case CPrintDlg::IDC_PAGES: return "radio" + std::to_string(id);
    case CPrintDlg::IDC_FROM:
    case CPrintDlg::IDC_TO:
    case CPrintDlg::IDC_COPIES: return "combo" + std::to_string(id);
    case CPrintDlg::IDC_COLLATE: return "check" + std::to_string(id);
    case IDOK: return "ok";
    default: return "static" + std::to_string(id);  // the range text and the range's labels
    }
}

template <class T>
T* Widget(const Glib::RefPtr<Gtk::Builder>& builder, int id)
{
    return BuilderWidget<T>(builder, "ui/print.ui", ControlName(id));
}

}  // namespace

std::string FormatPageRangeText(const std::string& format, int total)
{
    std::string text = format;
    const size_t at = text.find("%d");
    if (at != std::string::npos)
        text.replace(at, 2, IntToText(total));
    return text;
}

CPrintDlg::CPrintDlg(qvn::CMsg* msg) : m_msg(msg ? msg : &TheMsg())
{
    GBytes* bytes = LookupResource("ui/print.ui");
    if (!bytes)
        throw my::CException(58721, {"ui/print.ui"});
    gsize size = 0;
    const char* text = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    const std::string ui(text, size);
    g_bytes_unref(bytes);
    m_builder = Gtk::Builder::create_from_string(ui);

    m_dialog.reset(BuilderWidget<Gtk::Dialog>(m_builder, "ui/print.ui", "print"));
    m_all = Widget<Gtk::RadioButton>(m_builder, IDC_ALL);
    m_pages = Widget<Gtk::RadioButton>(m_builder, IDC_PAGES);
    m_rangeText = Widget<Gtk::Label>(m_builder, IDC_RANGE_TEXT);
    m_from = Widget<Gtk::ComboBoxText>(m_builder, IDC_FROM);
    m_to = Widget<Gtk::ComboBoxText>(m_builder, IDC_TO);
    m_copies = Widget<Gtk::ComboBoxText>(m_builder, IDC_COPIES);
    m_collate = Widget<Gtk::CheckButton>(m_builder, IDC_COLLATE);
    m_fromLabel = Widget<Gtk::Label>(m_builder, IDC_FROM_LABEL);
    m_toLabel = Widget<Gtk::Label>(m_builder, IDC_TO_LABEL);
    ApplyUiTexts(m_builder, "ui/print.ui");
    // Enter in a box presses "印刷", as in the system's dialogs.
    for (Gtk::ComboBoxText* box : {m_from, m_to, m_copies})
        box->get_entry()->set_activates_default(true);
    m_ok = ConnectCheckedOk(*m_dialog, *Widget<Gtk::Button>(m_builder, IDOK), [this] { return Validate(); });
    m_enter = AcceptEnterAnywhere(*m_dialog);
}

CPrintDlg::~CPrintDlg()
{
    m_enter.disconnect();
    m_ok.disconnect();
}

void CPrintDlg::SetDestinationText(const std::string& text)
{
    Gtk::Label* label = BuilderWidget<Gtk::Label>(m_builder, "ui/print.ui", "destination");
    label->set_text(text);
    label->set_visible(!text.empty());
}

void CPrintDlg::SetRangeType(int value)
{
    m_setting.flags = value == 1 ? (m_setting.flags | USE_PAGENUMS) : (m_setting.flags & ~uint32_t(USE_PAGENUMS));
}

void CPrintDlg::SetCollate(bool value)
{
    m_setting.flags = value ? (m_setting.flags | COLLATE) : (m_setting.flags & ~uint32_t(COLLATE));
}

void CPrintDlg::InitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;

    for (int32_t* page : {&m_setting.pageFrom, &m_setting.pageTo})
        if (*page < 1 || *page > m_totalPages)
            *page = *page < 1 ? 1 : m_totalPages;
    if (m_totalPages <= 0)
        m_setting.pageFrom = m_setting.pageTo = 0;

    m_rangeFormat = m_rangeText->get_text();
    m_rangeText->set_text(FormatPageRangeText(m_rangeFormat, m_totalPages));

    m_rangeGroup.Bind({m_all, m_pages}, this, &CPrintDlg::GetRangeType, &CPrintDlg::SetRangeType);
    m_rangeGroup.AddListener(decltype(m_rangeGroup)::EventChanged, MakeMemfunListener(this, &CPrintDlg::OnRange));
    m_rangeGroup.ShowValue();

    const std::vector<std::string> pageItems = NumberItems(std::min(m_totalPages, 99));
    for (auto [box, combo, getter, setter] :
         {std::tuple{&m_fromBox, m_from, &CPrintDlg::GetPageFrom, &CPrintDlg::SetPageFrom},
          std::tuple{&m_toBox, m_to, &CPrintDlg::GetPageTo, &CPrintDlg::SetPageTo}}) {
        box->Bind(*combo, this, getter, setter);
        box->SetItems(pageItems);
        box->SetMinimum(1);
        box->SetMaximum(m_totalPages);
        box->ShowValue();
    }
    m_copiesBox.Bind(*m_copies, this, &CPrintDlg::GetCopies, &CPrintDlg::SetCopies);
    m_copiesBox.SetItems(NumberItems(99));
    m_copiesBox.SetMinimum(1);
    m_copiesBox.SetMaximum(m_maxCopies);
    m_copiesBox.ShowValue();

    m_collateBox.Bind(*m_collate, this, &CPrintDlg::GetCollate, &CPrintDlg::SetCollate);
    m_collateBox.ShowValue();
    OnRange();
}

void CPrintDlg::OnRange()
{
    const bool pages = (m_setting.flags & USE_PAGENUMS) != 0;
    for (Gtk::Widget* w : std::initializer_list<Gtk::Widget*>{m_from, m_fromLabel, m_to, m_toLabel})
        w->set_sensitive(pages);
}

bool CPrintDlg::Validate()
{
    return CommitEntries(*m_msg, [&] {
        if (m_setting.flags & USE_PAGENUMS) {
            m_fromBox.CommitInput(true);
            m_toBox.CommitInput(true);
        }
        // Copies are checked with either choice: a bad entry is never
        // used silently.
        CommitCopies();
    });
}

void CPrintDlg::CommitCopies()
{
    try {
        m_copiesBox.CommitInput(true);
    } catch (const my::CCtrlException& e) {
        // Too few or too many: the message says how many the printer takes.
        const uint32_t id = e.Err().msgId;
        if (id != 58735 && id != 58736)
            throw;
        const std::string typed = m_copies->get_entry()->get_text();
        throw my::CCtrlException(MakeErr(kMsgCopiesRange, {"1", IntToText(m_maxCopies), typed}), e.Control());
    }
}

int CPrintDlg::DoModal(Gtk::Window* parent)
{
    InitDialog();
    if (parent)
        m_dialog->set_transient_for(*parent);
    const int response = m_dialog->run();
    m_dialog->hide();
    return response == IDOK ? IDOK : IDCANCEL;
}
