#include "printing/dialogs/PageSetupPaper.h"

#include "printing/devices/PrinterSettings.h"

#include <algorithm>

CRect RaiseToHardwareMargins(const CRect& m, const CRect& hw)
{
    return {std::max(m.left, hw.left), std::max(m.top, hw.top), std::max(m.right, hw.right),
            std::max(m.bottom, hw.bottom)};
}

CPageSetupPaper::CPageSetupPaper(CPrinterPtr printer, const CDevMode& devMode, const CRect& margin, Opener opener)
    : m_printer(std::move(printer)), m_devMode(devMode), m_margin(margin), m_opener(std::move(opener))
{
    if (!m_opener)
        m_opener = [](const std::string& name) { return CPrinter::Open(name); };
}

bool CPageSetupPaper::SelectPrinter(const std::string& name)
{
    CPrinterPtr printer = m_opener(name);
    if (!printer)
        return false;
    // The new printer's defaults, with the paper (when it has it) and the
    // orientation chosen so far.
    m_devMode = MakePrinterSettings(*printer, std::nullopt, {m_devMode.media, false, m_devMode.orientation, {}});
    m_printer = std::move(printer);
    m_margin = RaiseToHardwareMargins(m_margin, HardwareMargins());
    return true;
}

bool CPageSetupPaper::SelectMedia(const std::string& keyword)
{
    if (!m_printer || !FindPrinterPaper(*m_printer, keyword))
        return false;
    m_devMode = MakePrinterSettings(*m_printer, m_devMode, {keyword, true, std::nullopt, std::nullopt});
    m_margin = RaiseToHardwareMargins(m_margin, HardwareMargins());
    return true;
}

void CPageSetupPaper::SetOrientation(int16_t orientation)
{
    m_devMode.orientation = orientation == DMORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    m_margin = RaiseToHardwareMargins(m_margin, HardwareMargins());
}

void CPageSetupPaper::SetSource(const std::string& source)
{
    m_devMode.source = source;
    if (source.empty())
        m_devMode.fields &= ~uint32_t(DM_DEFAULTSOURCE);
    else
        m_devMode.fields |= DM_DEFAULTSOURCE;
}

void CPageSetupPaper::SetMargin(const CRect& margin)
{
    m_margin = RaiseToHardwareMargins(margin, HardwareMargins());
}

CRect CPageSetupPaper::HardwareMargins() const
{
    return m_printer ? m_printer->HardwareMargins(m_devMode) : CRect{};
}

CPaperInfo CPageSetupPaper::PaperInfo() const
{
    try {
        if (m_printer)
            return MakePaperInfo(m_devMode, m_printer->Metrics(m_devMode), m_margin);
        // Without a printer the sheet is shown as it is, at a common
        // resolution, until one is chosen.
        CPaperInfo paper;
        paper.SetDevMode(m_devMode);
        const CDeviceMetrics metrics = MakeDeviceMetrics(paper.paperWidth, paper.paperHeight, {}, kPaperOnlyResolution);
        return MakePaperInfo(m_devMode, metrics, m_margin);
    } catch (const my::CException&) {
        // Settings without a paper size give no sheet; the preview stays empty.
        return {};
    }
}
