#pragma once
#include "controls/ButtonControls.h"
#include "controls/ComboBoxValue.h"
#include "errors/Msg.h"
#include "printing/PrintSetting.h"
#include "printing/devices/Printers.h"

#include <gtkmm/builder.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/dialog.h>
#include <gtkmm/label.h>
#include <gtkmm/radiobutton.h>

#include <memory>
#include <string>

// The print dialog (143, "印刷"): which pages of the sheet grid to print, how
// many copies, collated or not. It edits its own copy of the print setting;
// the caller takes the copy after OK.
class CPrintDlg {
public:
    enum : int {
        IDC_ALL = 1056, IDC_PAGES = 1057, IDC_RANGE_TEXT = 152, IDC_FROM = 153, IDC_FROM_LABEL = 1089,
        IDC_TO = 154, IDC_TO_LABEL = 1090, IDC_COPIES = 155, IDC_COLLATE = 1041,
    };

    // Errors of OK's validation are shown through `msg` (the message boxes
    // when none is given).
    explicit CPrintDlg(qvn::CMsg* msg = nullptr);
    ~CPrintDlg();
    CPrintDlg(const CPrintDlg&) = delete;
    CPrintDlg& operator=(const CPrintDlg&) = delete;

    void SetTotalPages(int total) { m_totalPages = total; }
    // The line naming the printer and paper the job goes to.
    void SetDestinationText(const std::string& text);
    int TotalPages() const { return m_totalPages; }
    void SetPrintSetting(const CSimplePrintSetting& setting) { m_setting = setting; }
    const CSimplePrintSetting& PrintSetting() const { return m_setting; }

    // Clamps the range, formats the range text, binds the controls; DoModal
    // calls it.
    void InitDialog();
    // Runs modally over `parent` (may be null) until it is cancelled or an
    // OK passes Validate: IDOK or IDCANCEL.
    int DoModal(Gtk::Window* parent);
    // OK's check: with a page range, boxes 153 and 154, then 155, each with
    // its error shown and the focus on the box. True when the dialog may close.
    bool Validate();

    // The bound values.
    int GetRangeType() const { return (m_setting.flags & USE_PAGENUMS) ? 1 : 0; }
    void SetRangeType(int value);
    int GetPageFrom() const { return m_setting.pageFrom; }
    void SetPageFrom(int value) { m_setting.pageFrom = value; }
    int GetPageTo() const { return m_setting.pageTo; }
    void SetPageTo(int value) { m_setting.pageTo = value; }
    // The most copies the printer takes (before DoModal).
    void SetMaxCopies(int copies) { m_maxCopies = copies >= 1 ? copies : 1; }
    int GetCopies() const { return m_setting.copies; }
    void SetCopies(int value) { m_setting.copies = value; }
    bool GetCollate() const { return (m_setting.flags & COLLATE) != 0; }
    void SetCollate(bool value);

    Gtk::Dialog& Dialog() { return *m_dialog; }
    Gtk::RadioButton& AllButton() { return *m_all; }
    Gtk::RadioButton& PagesButton() { return *m_pages; }
    Gtk::Label& RangeText() { return *m_rangeText; }
    Gtk::ComboBoxText& FromBox() { return *m_from; }
    Gtk::ComboBoxText& ToBox() { return *m_to; }
    Gtk::ComboBoxText& CopiesBox() { return *m_copies; }
    Gtk::CheckButton& CollateBox() { return *m_collate; }
    Gtk::Label& FromLabel() { return *m_fromLabel; }
    Gtk::Label& ToLabel() { return *m_toLabel; }

private:
    void OnRange();
    // The copies box with error display; a count out of range names the range.
    void CommitCopies();

    qvn::CMsg* m_msg;
    int m_totalPages = 0;
    CSimplePrintSetting m_setting;
    std::string m_rangeFormat;

    Glib::RefPtr<Gtk::Builder> m_builder;
    std::unique_ptr<Gtk::Dialog> m_dialog;
    Gtk::RadioButton* m_all = nullptr;
    Gtk::RadioButton* m_pages = nullptr;
    Gtk::Label* m_rangeText = nullptr;
    Gtk::ComboBoxText* m_from = nullptr;
    Gtk::ComboBoxText* m_to = nullptr;
    Gtk::ComboBoxText* m_copies = nullptr;
    Gtk::CheckButton* m_collate = nullptr;
    Gtk::Label* m_fromLabel = nullptr;
    Gtk::Label* m_toLabel = nullptr;

    CRadioGroupInt<CPrintDlg> m_rangeGroup;
    CComboBoxInt<CPrintDlg> m_fromBox;
    CComboBoxInt<CPrintDlg> m_toBox;
    CComboBoxInt<CPrintDlg> m_copiesBox;
    CButtonBool<CPrintDlg> m_collateBox;
    sigc::connection m_enter;
    sigc::connection m_ok;
    int m_maxCopies = kDefaultMaxCopies;
    bool m_initialised = false;
};

// The dialog's range text: the format's "%d" replaced by the total.
std::string FormatPageRangeText(const std::string& format, int total);
