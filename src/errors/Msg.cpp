#include "errors/Msg.h"

#include "errors/MessageFormat.h"
#include "errors/StringTable.h"

#include <glib.h>

namespace qvn {

std::string CaptionFor(unsigned type)
{
    // Each caption is loaded once and kept.
    static const std::string error = LoadString(58368);
    static const std::string confirm = LoadString(58369);
    return (type & MB_ICONMASK) == MB_ICONERROR ? error : confirm;
}

bool CMsg::AskOkCancel(const std::string& text)
{
    return ShowText(text, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

bool CMsg::ConfirmLoseEdits() { return AskOkCancel(FormatMessageText(58702)); }

bool CMsg::ConfirmCreateFolder(const std::string& folder) { return AskOkCancel(FormatMessageText(58703, {folder})); }

bool CMsg::ConfirmOverwrite(const std::string& file) { return AskOkCancel(FormatMessageText(58704, {file})); }

bool CMsg::ConfirmOverwriteIfExists(const std::string& file)
{
    if (!g_file_test(file.c_str(), G_FILE_TEST_EXISTS))
        return true;
    return ConfirmOverwrite(file);
}

bool CMsg::ConfirmSettingsUnreadable(const std::string& errorText)
{
    return AskOkCancel(FormatMessageText(58708, {errorText}));
}

bool CMsg::ConfirmSettingsUnreadableFile(const std::string& file, const std::string& errorText)
{
    return AskOkCancel(FormatMessageText(58709, {file, errorText}));
}

bool CMsg::ConfirmSettingsNewer() { return AskOkCancel(FormatMessageText(58710)); }

bool CMsg::ConfirmAbortPrinting()
{
    return ShowText(FormatMessageText(58714), MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

}  // namespace qvn
