#pragma once
#include "common/Types.h"
#include "printing/DevMode.h"
#include "printing/poster/PaperInfo.h"
#include "printing/devices/Printers.h"

#include <functional>
#include <string>

// The paper part of the page setup dialog without its widgets: printer,
// paper, orientation, source and margins as the user picks them. It is the
// live source of the preview's paper while the dialog is open; nothing
// reaches the print task or the settings until OK.
class CPageSetupPaper {
public:
    // How a printer is opened by name (CPrinter::Open; tests give their own).
    using Opener = std::function<CPrinterPtr(const std::string& name)>;

    // `printer` may be null when none could be opened: the paper is then
    // only `devMode`'s size, until SelectPrinter succeeds.
    CPageSetupPaper(CPrinterPtr printer, const CDevMode& devMode, const CRect& margin, Opener opener = {});
    static constexpr int32_t kPaperOnlyResolution = 300;

    // Opens `name` with its default paper, keeping the paper (when it has
    // it) and the orientation chosen so far. False, with nothing changed,
    // when the printer cannot be opened.
    bool SelectPrinter(const std::string& name);
    // One of the printer's papers by its keyword; false when it has none.
    bool SelectMedia(const std::string& keyword);
    void SetOrientation(int16_t orientation);
    // One of the printer's sources, or "" for its own choice.
    void SetSource(const std::string& source);
    // The margins, each raised to what the printer cannot print on.
    void SetMargin(const CRect& margin);

    const CPrinterPtr& Printer() const { return m_printer; }
    const CDevMode& DevMode() const { return m_devMode; }
    const CRect& Margin() const { return m_margin; }
    CRect HardwareMargins() const;
    // The sheet as the printer has it, with the margins.
    CPaperInfo PaperInfo() const;

private:
    CPrinterPtr m_printer;
    CDevMode m_devMode;
    CRect m_margin;
    Opener m_opener;
};

// `margin` with each side raised to at least `hardware`.
CRect RaiseToHardwareMargins(const CRect& margin, const CRect& hardware);
