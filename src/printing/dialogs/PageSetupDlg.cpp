#include "printing/dialogs/PageSetupDlg.h"

#include "controls/BuilderWidget.h"
#include "controls/DialogEnter.h"
#include "controls/UiTexts.h"
#include "common/NumberText.h"
#include "errors/ErrorRecord.h"
#include "errors/Exception.h"
#include "controls/MessageBoxMsg.h"
#include "errors/ProgramMessages.h"
#include "errors/Resources.h"
#include "errors/StringTable.h"
#include "printing/poster/PosterGeometry.h"
#include "printing/poster/TileGeometry.h"

#include <glibmm/main.h>

#include <algorithm>
#include <climits>

namespace {

constexpr unsigned kCaptureIntervalMs = 1000;

std::string ControlName(int id)
{
    switch (id) {
    case CPageSetupDlg::IDC_PRINTER:
    case CPageSetupDlg::IDC_PAPER:
    case CPageSetupDlg::IDC_SOURCE:
    case CPageSetupDlg::IDC_ACROSS:
    case CPageSetupDlg::IDC_DOWN:
    case CPageSetupDlg::IDC_DPI: return "combo" + std::to_string(id);
    case CPageSetupDlg::IDC_PORTRAIT:
    case CPageSetupDlg::IDC_LANDSCAPE:
    case CPageSetupDlg::IDC_FIT:
    case CPageSetupDlg::IDC_DPI_TYPE: return "radio" + std::to_string(id);
    case CPageSetupDlg::IDC_RESIZE: return "button161";
    case CPageSetupDlg::IDC_PREVIEW: return "preview162";
    case IDOK: return "ok";
    case IDCANCEL: return "cancel";
    default: return "edit" + std::to_string(id);  // margins 1155-1158
    }
}

template <class T>
T* Widget(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& name)
{
    return BuilderWidget<T>(builder, "ui/pagesetup", name);
}

}  // namespace

CPageSetupDlg::CPageSetupDlg(const CPageSetupPaper& paper, const CFitImageToPageSetting& setting,
                             CaptureFunction capture, ResizeFunction resize, qvn::CMsg* msg)
    : m_msg(msg ? msg : &TheMsg()),
      m_paper(paper),
      m_setting(setting),
      m_capture(std::move(capture)),
      m_resize(std::move(resize))
{
    m_builder = Gtk::Builder::create_from_resource(ResourcePath("ui/pagesetup.ui"));
    ApplyUiTexts(m_builder, "ui/pagesetup.ui");
    m_dialog.reset(Widget<Gtk::Dialog>(m_builder, "pagesetup"));
    m_printers = Widget<Gtk::ComboBoxText>(m_builder, ControlName(IDC_PRINTER));
    m_papers = Widget<Gtk::ComboBoxText>(m_builder, ControlName(IDC_PAPER));
    m_sources = Widget<Gtk::ComboBoxText>(m_builder, ControlName(IDC_SOURCE));
    m_portrait = Widget<Gtk::RadioButton>(m_builder, ControlName(IDC_PORTRAIT));
    m_landscape = Widget<Gtk::RadioButton>(m_builder, ControlName(IDC_LANDSCAPE));
    // OK closes the dialog only when the boxes are valid.
    m_connections.push_back(
        ConnectCheckedOk(*m_dialog, *Widget<Gtk::Button>(m_builder, ControlName(IDOK)), [this] { return Validate(); }));
    m_connections.push_back(Widget<Gtk::Button>(m_builder, ControlName(IDCANCEL))->signal_clicked().connect([this] {
        m_dialog->response(IDCANCEL);
    }));
    m_connections.push_back(
        Widget<Gtk::Button>(m_builder, ControlName(IDC_RESIZE))->signal_clicked().connect([this] { OnResize(); }));
    m_connections.push_back(AcceptEnterAnywhere(*m_dialog));
}

CPageSetupDlg::~CPageSetupDlg()
{
    StopFinishing();
    if (m_captureCancel)
        g_object_unref(m_captureCancel);
    m_timer.disconnect();
    for (auto& connection : m_connections)
        connection.disconnect();
}

Gtk::Widget& CPageSetupDlg::Control(int id)
{
    return *Widget<Gtk::Widget>(m_builder, ControlName(id));
}

void CPageSetupDlg::InitDialog()
{
    FillPrinters();
    FillPaper();
    m_connections.push_back(m_printers->signal_changed().connect([this] { OnPrinterChanged(); }));
    m_connections.push_back(m_papers->signal_changed().connect([this] { OnPaperChanged(); }));
    m_connections.push_back(m_sources->signal_changed().connect([this] { OnSourceChanged(); }));
    m_connections.push_back(m_landscape->signal_toggled().connect([this] { OnOrientationChanged(); }));

    const std::pair<int, int32_t CRect::*> sides[] = {{1155, &CRect::left}, {1156, &CRect::top},
                                                      {1157, &CRect::right}, {1158, &CRect::bottom}};
    using Getter = int (CPageSetupDlg::*)() const;
    using Setter = void (CPageSetupDlg::*)(int);
    const std::pair<Getter, Setter> accessors[] = {{&CPageSetupDlg::GetMarginLeft, &CPageSetupDlg::SetMarginLeft},
                                                   {&CPageSetupDlg::GetMarginTop, &CPageSetupDlg::SetMarginTop},
                                                   {&CPageSetupDlg::GetMarginRight, &CPageSetupDlg::SetMarginRight},
                                                   {&CPageSetupDlg::GetMarginBottom, &CPageSetupDlg::SetMarginBottom}};
    for (size_t i = 0; i < 4; ++i) {
        m_marginBoxes[i].Bind(*Widget<Gtk::Entry>(m_builder, ControlName(sides[i].first)), this, accessors[i].first,
                              accessors[i].second);
        m_marginBoxes[i].AddListener(0, MakeMemfunListener(this, &CPageSetupDlg::OnMarginChanged));
        m_marginBoxes[i].ShowValue();
        m_marginBoxes[i].Entry()->set_activates_default(true);
        m_marginBoxes[i].KeepRefusedText();
        m_connections.push_back(m_marginBoxes[i].Entry()->signal_changed().connect(
            [this, side = sides[i].second, i] { OnMarginTyped(i, side); }));
    }

    m_fitGroup.Bind({Widget<Gtk::RadioButton>(m_builder, ControlName(IDC_FIT)), Widget<Gtk::RadioButton>(m_builder, ControlName(IDC_DPI_TYPE))},
                    this, &CPageSetupDlg::GetFitType, &CPageSetupDlg::SetFitType);
    m_fitGroup.AddListener(decltype(m_fitGroup)::EventChanged, MakeMemfunListener(this, &CPageSetupDlg::OnFitType));
    m_fitGroup.ShowValue();
    for (auto [box, name, getter, setter] :
         {std::tuple{&m_acrossBox, ControlName(IDC_ACROSS), &CPageSetupDlg::GetAcross, &CPageSetupDlg::SetAcross},
          std::tuple{&m_downBox, ControlName(IDC_DOWN), &CPageSetupDlg::GetDown, &CPageSetupDlg::SetDown},
          std::tuple{&m_dpiBox, ControlName(IDC_DPI), &CPageSetupDlg::GetDpi, &CPageSetupDlg::SetDpi}}) {
        box->Bind(*Widget<Gtk::ComboBoxText>(m_builder, name), this, getter, setter);
        if (box != &m_dpiBox)
            box->SetItems(NumberItems(9));
        const CIntLimits& limits = box == &m_dpiBox ? kDpiLimits : kSheetLimits;
        box->SetMinimum(limits.min);
        box->SetMaximum(limits.max);
        box->ShowValue();
        box->AddListener(CComboBoxInt<CPageSetupDlg>::EventChanged, MakeMemfunListener(this, &CPageSetupDlg::OnRefresh));
        box->Combo()->get_entry()->set_activates_default(true);
        box->Combo()->get_entry()->set_width_chars(5);
    }
    OnFitType();
    m_assemblyGroup.Bind(m_builder, m_assembly, [this] {
        m_assembly = m_assemblyGroup.Setting();
        UpdatePaper();
    });
    Widget<Gtk::Entry>(m_builder, "editOverlap")->set_activates_default(true);

    m_preview.Attach(*Widget<Gtk::DrawingArea>(m_builder, ControlName(IDC_PREVIEW)));
    UpdatePaper();
    // The first capture comes as soon as the dialog is on screen, then one a
    // second; a capture waits for WebKit without blocking the dialog.
    m_connections.push_back(m_dialog->signal_map().connect([this] {
        m_connections.push_back(Glib::signal_idle().connect([this] {
            OnTimer();
            return false;  // once: the timer takes over
        }));
    }));
    m_timer = Glib::signal_timeout().connect(sigc::mem_fun(*this, &CPageSetupDlg::OnTimer), kCaptureIntervalMs);
}

void CPageSetupDlg::FillPrinters()
{
    m_filling = true;
    // Read afresh at every opening: a printer added meanwhile is offered.
    std::vector<std::string> names = EnumPrinterNames();
    const std::string current = m_paper.Printer() ? m_paper.Printer()->Name() : std::string();
    if (!current.empty() && std::find(names.begin(), names.end(), current) == names.end())
        names.insert(names.begin(), current);
    m_printers->remove_all();
    for (const std::string& name : names)
        m_printers->append(name, name);
    m_printers->set_active_id(current);
    m_filling = false;
}

void CPageSetupDlg::FillPaper()
{
    m_filling = true;
    m_papers->remove_all();
    m_sources->remove_all();
    const CPrinterPtr& printer = m_paper.Printer();
    if (printer) {
        // By name, so that a person finds a paper where the name puts it.
        std::vector<const CMediaInfo*> papers;
        for (const CMediaInfo& media : printer->Media())
            papers.push_back(&media);
        std::stable_sort(papers.begin(), papers.end(), [](const CMediaInfo* a, const CMediaInfo* b) {
            return g_utf8_collate(a->displayName.c_str(), b->displayName.c_str()) < 0;
        });
        for (const CMediaInfo* media : papers)
            m_papers->append(media->name, media->displayName);
        if (const CMediaInfo* media = printer->FindMedia(m_paper.DevMode()))
            m_papers->set_active_id(media->name);
        for (const std::string& source : printer->Sources())
            m_sources->append(source, printer->SourceName(source));
        if (!m_paper.DevMode().source.empty())
            m_sources->set_active_id(m_paper.DevMode().source);
    } else if (const auto media = StandardMedia(m_paper.DevMode().media)) {
        // No printer yet: the paper it will start from.
        m_papers->append(media->name, media->displayName);
        m_papers->set_active_id(media->name);
    }
    // A printer without a choice of trays shows none.
    const bool sources = printer && !printer->Sources().empty();
    m_sources->set_visible(sources);
    Widget<Gtk::Label>(m_builder, "static1090")->set_visible(sources);
    (m_paper.DevMode().orientation == DMORIENT_LANDSCAPE ? m_landscape : m_portrait)->set_active(true);
    m_filling = false;
}

void CPageSetupDlg::OnPrinterChanged()
{
    if (m_filling)
        return;
    // A printer that cannot be opened (removed meanwhile) is named, and the
    // one before stays.
    const std::string chosen = m_printers->get_active_id();
    const bool opened = m_paper.SelectPrinter(chosen);
    FillPrinters();
    FillPaper();
    OnMarginChanged();
    if (!opened)
        m_msg->ShowError(MakeErr(kMsgPrinterNotOpened, {chosen}));
}

void CPageSetupDlg::OnPaperChanged()
{
    if (m_filling)
        return;
    m_paper.SelectMedia(m_papers->get_active_id());
    OnMarginChanged();
}

void CPageSetupDlg::OnSourceChanged()
{
    if (m_filling)
        return;
    m_paper.SetSource(m_sources->get_active_id());
    UpdatePaper();
}

void CPageSetupDlg::OnOrientationChanged()
{
    if (m_filling)
        return;
    m_paper.SetOrientation(m_landscape->get_active() ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    OnMarginChanged();
}

void CPageSetupDlg::SetMarginSide(int32_t CRect::*side, int value)
{
    CRect margin = m_paper.Margin();
    // The field shows one decimal: its text read back is the value it shows.
    if (CMillimetreConverter::ToText(value) == CMillimetreConverter::ToText(margin.*side))
        return;
    margin.*side = std::max(value, 0);
    m_paper.SetMargin(margin);
}

void CPageSetupDlg::OnMarginTyped(size_t box, int32_t CRect::*side)
{
    // The preview follows the text as it is typed, to the last digit typed;
    // the field keeps the text until Enter or the focus leaves, when it
    // shows the margin used.
    const std::string text = m_marginBoxes[box].Entry()->get_text();
    CRect margin = m_paper.Margin();
    // The field showing the margin it has (rounded to one decimal) changes nothing.
    int value = 0;
    if (text == CMillimetreConverter::ToText(margin.*side) || CMillimetreConverter::FromText(text, value).Failed())
        return;
    margin.*side = std::max(value, 0);
    m_paper.SetMargin(margin);
    UpdatePaper();
}

void CPageSetupDlg::OnMarginChanged()
{
    // A margin may have been raised to the hardware margin: show what is used.
    for (auto& box : m_marginBoxes)
        box.ShowValue();
    UpdatePaper();
}

void CPageSetupDlg::OnFitType()
{
    const bool fit = m_setting.fitType == FIT;
    m_acrossBox.Combo()->set_sensitive(fit);
    m_downBox.Combo()->set_sensitive(fit);
    m_dpiBox.Combo()->set_sensitive(!fit);
    UpdatePaper();
}

void CPageSetupDlg::OnRefresh()
{
    UpdatePaper();
}

void CPageSetupDlg::UpdatePaper()
{
    const bool paperChanged = m_preview.SetPaperInfo(m_paper.PaperInfo());
    const bool settingChanged = m_preview.SetPageSetting(m_setting);
    const bool aidsChanged = m_preview.SetAssembly(m_assembly);
    if (paperChanged || settingChanged || aidsChanged)
        m_preview.Relayout();
}

bool CPageSetupDlg::OnTimer()
{
    ++m_ticks;
    // A capture still waiting for WebKit or still being finished: this tick
    // is skipped.
    if (m_capturing)
        return true;
    m_capturing = true;
    UpdateBitmap();
    return true;
}

void CPageSetupDlg::UpdateBitmap()
{
    if (!m_capture) {
        OnCaptured({}, nullptr);
        return;
    }
    if (m_captureCancel)
        g_object_unref(m_captureCancel);
    m_captureCancel = g_cancellable_new();
    std::weak_ptr<int> current = m_captureNumber;
    const int number = ++*m_captureNumber;
    try {
        m_capture(m_captureCancel, [this, current, number](CPreviewCapture capture, std::exception_ptr error) {
            // A capture of a dialog that has ended, or one stopped since.
            const std::shared_ptr<int> latest = current.lock();
            if (latest && *latest == number)
                OnCaptured(std::move(capture), error);
        });
    } catch (...) {
        ++*m_captureNumber;
        OnCaptured({}, std::current_exception());
    }
}

void CPageSetupDlg::OnCaptured(CPreviewCapture capture, std::exception_ptr error)
{
    if (error) {
        // Whatever it was (a Glib::Error too), the next tick tries again.
        m_capturing = false;
        ShowCaptureError(error);
        return;
    }
    ++m_captures;
    StartFinishing(std::move(capture));
}

CPageSetupDlg::CFinished CPageSetupDlg::Finish(CPreviewCapture capture, CDibSectionPtr shown, std::stop_token stop)
{
    CFinished finished;
    try {
        // A capture that can be compared before it is made into a bitmap:
        // the same page again is dropped without one.
        const bool comparedFirst = shown && capture.shows;
        if (comparedFirst) {
            finished.same = capture.shows(*shown, stop);
            if (finished.same || stop.stop_requested()) {
                finished.comparedWith = std::move(shown);
                return finished;
            }
        }
        finished.dib = capture.finish ? capture.finish() : std::move(capture.dib);
        // The rendered page is let go of before the compare.
        capture = {};
        if (!comparedFirst)
            finished.same =
                shown && finished.dib && CFitImageToPagePreview::SameBits(*shown, *finished.dib, std::move(stop));
        finished.comparedWith = std::move(shown);
    } catch (...) {
        finished.error = std::current_exception();
    }
    return finished;
}

void CPageSetupDlg::StartFinishing(CPreviewCapture capture)
{
    // The work owns the capture and a reference to the bitmap shown; of the
    // dialog it touches nothing. A newer capture, or the dialog's end, drops
    // its result.
    auto work = std::make_shared<CPreviewCapture>(std::move(capture));
    m_finishing.Start(
        [work, shown = m_preview.Bitmap()](std::stop_token stop) { return Finish(std::move(*work), shown, stop); },
        [this](CFinished finished) { OnFinished(std::move(finished)); });
}

void CPageSetupDlg::OnFinished(CFinished finished)
{
    m_capturing = false;
    if (finished.error) {
        ShowCaptureError(finished.error);
        return;
    }
    // Compared with what is still shown: dropped when the same, shown
    // without a second compare otherwise.
    const bool current = finished.comparedWith == m_preview.Bitmap();
    finished.comparedWith.reset();
    if (!finished.dib)
        return;
    if (!current)
        m_preview.SetBitmap(std::move(finished.dib));
    else if (finished.same)
        CFitImageToPagePreview::ReleaseLater(std::move(finished.dib));
    else
        m_preview.ShowBitmap(std::move(finished.dib));
    if (m_resizeWhenCaptured)
        OnResize();
}

void CPageSetupDlg::StopFinishing()
{
    // The capture and the work end by themselves; nothing waits for them.
    ++*m_captureNumber;
    if (m_captureCancel)
        g_cancellable_cancel(m_captureCancel);
    m_finishing.Cancel();
    m_capturing = false;
}

void CPageSetupDlg::ShowCaptureError(const std::exception_ptr& error)
{
    const CSimpleErr err = ErrorRecordOf(error);
    // Shown once per dialog; the ticks go on, so the preview recovers when
    // captures work again. A capture abandoned as the window closes says
    // nothing.
    if (err.Failed() && !m_captureErrorShown) {
        m_captureErrorShown = true;
        m_msg->ShowError(err);
    }
}

bool CPageSetupDlg::Validate()
{
    return CommitEntries(*m_msg, [&] {
        // Margins and the glue strip typed but not yet committed count as well.
        for (auto& box : m_marginBoxes)
            if (Gtk::Entry* entry = box.Entry())
                box.Commit(entry->get_text());
        m_assemblyGroup.CommitTyped();
        if (m_setting.fitType == FIT) {
            m_acrossBox.CommitInput(true);
            m_downBox.CommitInput(true);
        } else {
            m_dpiBox.CommitInput(true);
        }
    });
}

void CPageSetupDlg::OnResize()
{
    if (!Validate())
        return;
    const CDibSectionPtr& bitmap = m_preview.Bitmap();
    // Before the first capture has come the browser is fitted when it comes.
    m_resizeWhenCaptured = !bitmap;
    if (!bitmap || bitmap->Width() <= 0 || bitmap->Height() <= 0)
        return;
    // The sheets as the preview and the print job lay them out, glue strips included.
    const auto size = CalcPosterBrowserSize(m_setting, m_preview.PaperInfo(), {bitmap->Width(), bitmap->Height()},
                                            m_assembly.overlap);
    if (size && m_resize)
        m_resize(*size);
}

int CPageSetupDlg::DoModal(Gtk::Window* parent)
{
    InitDialog();
    if (parent)
        m_dialog->set_transient_for(*parent);
    const int response = m_dialog->run();
    m_timer.disconnect();
    // A capture still being finished is not wanted any more.
    StopFinishing();
    m_dialog->hide();
    return response == IDOK ? IDOK : IDCANCEL;
}
