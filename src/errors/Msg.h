#pragma once
#include "errors/SimpleErr.h"

#include <string>

// Message-box types and results, with the values the program's messages are
// defined with.
enum : unsigned {
    MB_OK = 0x00, MB_OKCANCEL = 0x01, MB_YESNO = 0x04,
    MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

namespace qvn {

// Error boxes and the fixed questions. A box that cannot be shown answers 0,
// which every question takes as "no".
class CMsg {
public:
    virtual ~CMsg() = default;
    virtual void ShowError(const CSimpleErr& err) { ShowText(err.text, MB_ICONERROR); }
    virtual int ShowText(const std::string& text, unsigned type) = 0;

    bool ConfirmLoseEdits();
    bool ConfirmCreateFolder(const std::string& folder);
    bool ConfirmOverwrite(const std::string& file);
    // Asks only when the file exists.
    bool ConfirmOverwriteIfExists(const std::string& file);
    bool ConfirmSettingsUnreadable(const std::string& errorText);
    bool ConfirmSettingsUnreadableFile(const std::string& file, const std::string& errorText);
    bool ConfirmSettingsNewer();
    bool ConfirmAbortPrinting();

private:
    bool AskOkCancel(const std::string& text);
};

// The caption of a message box of `type`: "エラー" for the error icon, "確認" otherwise.
std::string CaptionFor(unsigned type);

}  // namespace qvn
