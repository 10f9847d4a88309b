#include "settings/SettingFormat.h"

#include "settings/SettingNames.h"

using Node = CXmlSerializer::Node;

const char* const kSettingTemplate =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<QuorvaneSetting xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">\n"
    "</QuorvaneSetting>\n";

namespace {

constexpr const char* kRootName = "QuorvaneSetting";

bool WriteAssembly(CXmlSerializer& xml, Node node, const CAssemblySetting& assembly)
{
    return xml.WriteInt(node, "Overlap", assembly.overlap) && xml.WriteBool(node, "CutGuides", assembly.cutGuides) &&
           xml.WriteBool(node, "SheetLabels", assembly.sheetLabels) &&
           xml.WriteBool(node, "AssemblySheet", assembly.assemblySheet);
}

// "Assembly" is optional, and so is each of its members: what is absent is
// off, and a damaged value only loses that aid, without a question at start.
void ReadAssembly(CXmlSerializer& xml, Node root, CAssemblySetting& assembly)
{
    Node page = nullptr, node = nullptr;
    if (!xml.HasChild(root, "PageSetting") || !xml.FindChild(root, "PageSetting", page) ||
        !xml.HasChild(page, "Assembly") || !xml.FindChild(page, "Assembly", node))
        return;
    CAssemblySetting read;
    if (xml.HasChild(node, "Overlap") && !xml.ReadInt(node, "Overlap", read.overlap))
        read.overlap = 0;
    for (auto [name, value] : {std::pair{"CutGuides", &read.cutGuides}, std::pair{"SheetLabels", &read.sheetLabels},
                               std::pair{"AssemblySheet", &read.assemblySheet}}) {
        if (xml.HasChild(node, name) && !xml.ReadBool(node, name, *value))
            *value = false;
    }
    xml.ClearErr();
    assembly = read;
}

bool WritePageSetting(CXmlSerializer& xml, Node node, const CPageSetting& page)
{
    return xml.WriteNamed(node, "FitType", page.fitType, FitTypeToName) && xml.WriteSize(node, "Papers", page.papers) &&
           xml.WriteInt(node, "Dpi", page.dpi) && xml.WriteRect(node, "Margin", page.margin) &&
           (page.assembly == CAssemblySetting{} ||
            xml.WriteRecord(node, "Assembly", [&](Node n) { return WriteAssembly(xml, n, page.assembly); }));
}

bool ReadPageSetting(CXmlSerializer& xml, Node node, CPageSetting& page)
{
    return xml.ReadNamed(node, "FitType", page.fitType, FitTypeFromName) && xml.ReadSize(node, "Papers", page.papers) &&
           xml.ReadInt(node, "Dpi", page.dpi) && xml.ReadRect(node, "Margin", page.margin);
}

bool WritePrintSetting(CXmlSerializer& xml, Node node, const CSimplePrintSetting& print)
{
    return xml.WriteNamed(node, "Flags", print.flags, PrintFlagsToText) && xml.WriteInt(node, "PageFrom", print.pageFrom) &&
           xml.WriteInt(node, "PageTo", print.pageTo) && xml.WriteInt(node, "Copies", print.copies);
}

bool ReadPrintSetting(CXmlSerializer& xml, Node node, CSimplePrintSetting& print)
{
    return xml.ReadNamed(node, "Flags", print.flags, PrintFlagsFromText) && xml.ReadInt(node, "PageFrom", print.pageFrom) &&
           xml.ReadInt(node, "PageTo", print.pageTo) && xml.ReadInt(node, "Copies", print.copies);
}

bool WriteBand(CXmlSerializer& xml, Node node, const CReBarBandSetting& band)
{
    return xml.WriteDword(node, "Id", band.id) && xml.WriteDword(node, "Cx", band.cx) &&
           xml.WriteBool(node, "BreakLine", band.breakLine);
}

bool ReadBand(CXmlSerializer& xml, Node node, CReBarBandSetting& band)
{
    return xml.ReadDword(node, "Id", band.id) && xml.ReadDword(node, "Cx", band.cx) &&
           xml.ReadBool(node, "BreakLine", band.breakLine);
}

bool WriteMainFrameSetting(CXmlSerializer& xml, Node node, const CMainFrameSetting& frame)
{
    return xml.WriteBool(node, "Maximized", frame.maximized) && xml.WriteRect(node, "Rect", frame.rect) &&
           xml.WriteBool(node, "ShowDlgBar", frame.showDlgBar) && xml.WriteBool(node, "ShowToolBar", frame.showToolBar) &&
           xml.WriteBool(node, "ShowStatusBar", frame.showStatusBar) &&
           xml.WriteRecords(node, "ReBarBandSettings", "ReBarBandSetting", frame.bands,
                            [&](Node item, const CReBarBandSetting& band) { return WriteBand(xml, item, band); });
}

bool ReadMainFrameSetting(CXmlSerializer& xml, Node node, CMainFrameSetting& frame)
{
    return xml.ReadBool(node, "Maximized", frame.maximized) && xml.ReadRect(node, "Rect", frame.rect) &&
           xml.ReadBool(node, "ShowDlgBar", frame.showDlgBar) && xml.ReadBool(node, "ShowToolBar", frame.showToolBar) &&
           xml.ReadBool(node, "ShowStatusBar", frame.showStatusBar) &&
           xml.ReadRecords(node, "ReBarBandSettings", "ReBarBandSetting", frame.bands,
                           [&](Node item, CReBarBandSetting& band) { return ReadBand(xml, item, band); });
}

constexpr const char* kPrinterChoice = "PrinterChoice";
// Longer names than these come from no printer; such a choice is not used.
constexpr size_t kMaxPrinterText = 1024;

bool WritePrinterChoice(CXmlSerializer& xml, Node node, const CPrinterChoice& choice)
{
    return xml.WriteString(node, "Printer", choice.printer) && xml.WriteString(node, "Media", choice.media) &&
           xml.WriteString(node, "Orientation", choice.orientation == DMORIENT_LANDSCAPE ? "LANDSCAPE" : "PORTRAIT") &&
           xml.WriteString(node, "Source", choice.source);
}

// The element is optional, and a damaged one only loses the choice: the
// default printer is used then, without a question at start.
std::optional<CPrinterChoice> ReadPrinterChoice(CXmlSerializer& xml, Node root)
{
    Node node = nullptr;
    if (!xml.HasChild(root, kPrinterChoice) || !xml.FindChild(root, kPrinterChoice, node))
        return std::nullopt;
    CPrinterChoice choice;
    std::string orientation;
    bool ok = true;
    for (auto [name, text] : {std::pair{"Printer", &choice.printer}, std::pair{"Media", &choice.media},
                              std::pair{"Orientation", &orientation}, std::pair{"Source", &choice.source}}) {
        if (xml.HasChild(node, name))
            ok = xml.ReadString(node, name, *text) && text->size() <= kMaxPrinterText && ok;
    }
    xml.ClearErr();
    if (!ok || choice.printer.empty())
        return std::nullopt;
    choice.orientation = orientation == "LANDSCAPE" ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    return choice;
}

}  // namespace

bool WriteSettingDocument(CXmlSerializer& xml, const CSetting& s)
{
    Node root = nullptr;
    return xml.CreateFromTemplate(kSettingTemplate) && xml.SelectDocumentElement(kRootName, root) &&
           xml.WriteVersion(root, "Version", kSettingFormatVersion) && xml.WriteInt(root, "Width", s.width) &&
           xml.WriteInt(root, "Height", s.height) && xml.WriteInt(root, "ScrollX", s.scrollX) &&
           xml.WriteInt(root, "ScrollY", s.scrollY) && xml.WriteRect(root, "Trim", s.trim) &&
           xml.WriteString(root, "Url", s.url) && xml.WriteStrings(root, "Urls", "Url", s.urls.Items()) &&
           xml.WriteRecord(root, "PageSetting", [&](Node n) { return WritePageSetting(xml, n, s.pageSetting); }) &&
           xml.WriteRecord(root, "PrintSetting", [&](Node n) { return WritePrintSetting(xml, n, s.printSetting); }) &&
           xml.WriteRecord(root, "MainFrameSetting", [&](Node n) { return WriteMainFrameSetting(xml, n, s.mainFrame); }) &&
           (!s.printerChoice ||
            xml.WriteRecord(root, kPrinterChoice, [&](Node n) { return WritePrinterChoice(xml, n, *s.printerChoice); }));
}

bool ReadSettingDocument(CXmlSerializer& xml, CSetting& s)
{
    Node root = nullptr;
    const bool read = xml.SelectDocumentElement(kRootName, root) && xml.ReadVersion(root, "Version") &&
           xml.ReadInt(root, "Width", s.width) && xml.ReadInt(root, "Height", s.height) &&
           xml.ReadInt(root, "ScrollX", s.scrollX) && xml.ReadInt(root, "ScrollY", s.scrollY) &&
           xml.ReadRect(root, "Trim", s.trim) && xml.ReadString(root, "Url", s.url) &&
           xml.ReadStrings(root, "Urls", "Url", s.urls.Items()) &&
           xml.ReadRecord(root, "PageSetting", [&](Node n) { return ReadPageSetting(xml, n, s.pageSetting); }) &&
           xml.ReadRecord(root, "PrintSetting", [&](Node n) { return ReadPrintSetting(xml, n, s.printSetting); }) &&
           xml.ReadRecord(root, "MainFrameSetting", [&](Node n) { return ReadMainFrameSetting(xml, n, s.mainFrame); });
    // The optional additions, only after a complete read: reading them
    // clears the error record, which must keep a failure's message.
    if (read) {
        ReadAssembly(xml, root, s.pageSetting.assembly);
        s.printerChoice = ReadPrinterChoice(xml, root);
    }
    return read;
}

bool WriteSettingFile(CXmlSerializer& xml, const CSetting& setting, const std::string& path)
{
    return WriteSettingDocument(xml, setting) && xml.Save(path);
}

bool ReadSettingFile(CXmlSerializer& xml, CSetting& setting, const std::string& path)
{
    return xml.Load(path) && ReadSettingDocument(xml, setting);
}
