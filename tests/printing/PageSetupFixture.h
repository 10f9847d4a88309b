#pragma once
// The page setup dialog over the built-in "PDF" destination, run modally
// with a fixed capture; messages are answered and kept.
#include "PageSetupDriver.h"
#include "PosterFixture.h"
#include "controls/GuiInput.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "printing/dialogs/PageSetupDlg.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

inline CPageSetupPaper PdfPaper(const CRect& margin = {1000, 1000, 1000, 1000})
{
    CPrinterPtr pdf = CPrinter::Open(kPdfPrinterName);
    return CPageSetupPaper(pdf, pdf->DefaultDevMode(), margin);
}

// A capture function that answers at once with what `capture` gives, or
// with what it raises.
inline CPageSetupDlg::CaptureFunction AtOnce(std::function<CPreviewCapture()> capture)
{
    return [capture = std::move(capture)](GCancellable*, CPageSetupDlg::CaptureDone done) {
        CPreviewCapture result;
        try {
            result = capture();
        } catch (...) {
            done({}, std::current_exception());
            return;
        }
        done(std::move(result), nullptr);
    };
}

class PageSetupDlgTest : public testing::Test {
protected:
    static void SetUpTestSuite() { g_setenv("CUPS_SERVER", "/nonexistent/qv-test/cups.sock", TRUE); }
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string&, unsigned) {
            messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override { CMessageBoxMsg::SetTestResponder(nullptr); }

    void Make(const CFitImageToPageSetting& setting = {})
    {
        dialog = std::make_unique<CPageSetupDlg>(
            PdfPaper(), setting, AtOnce([this] { return capture; }),
            [this](const CSize& size) { resized.push_back(size); });
    }
    int Run(std::function<void()> steps)
    {
        return RunPageSetup([this] { return dialog->DoModal(nullptr); }, std::move(steps));
    }
    Gtk::ComboBoxText& Box(int id) { return dynamic_cast<Gtk::ComboBoxText&>(dialog->Control(id)); }
    bool PreviewHasBitmap()
    {
        return guitest::PumpUntil([&] { return dialog->Preview().Bitmap() != nullptr; }, 10000);
    }
    void TypeInto(Gtk::ComboBoxText& box, const std::string& text)
    {
        guitest::FocusAndSelectAll(*box.get_entry());
        guitest::Type(text);
    }

    CDibSectionPtr capture = poster::MakeCapture();
    std::unique_ptr<CPageSetupDlg> dialog;
    std::vector<std::string> messages;
    std::vector<CSize> resized;
};
