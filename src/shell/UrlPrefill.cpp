#include "shell/UrlPrefill.h"

#include "errors/MessageFormat.h"

std::string UrlPrefillFromText(const std::string& text)
{
    // A lone LF ends the line as well: text copied on this system has no CR.
    return TrimText(text.substr(0, text.find('\n')));
}
