// libFuzzer target for the settings reader: any bytes as a settings file.
// Beyond "no crash, no hang, no leak" it checks that whatever reads cleanly
// is written back and reads back to the same settings.
#include "settings/SettingFormat.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CXmlSerializer xml;
    CSetting setting;
    if (!xml.LoadText(std::string(reinterpret_cast<const char*>(data), size), "Quorvane32.config"))
        return 0;
    if (!ReadSettingDocument(xml, setting))
        return 0;

    CXmlSerializer writer;
    std::string text;
    if (!WriteSettingDocument(writer, setting) || !writer.SaveText(text))
        std::abort();
    CXmlSerializer reader;
    CSetting again;
    if (!reader.LoadText(text, "rewritten") || !ReadSettingDocument(reader, again) || !(again == setting))
        std::abort();
    return 0;
}
