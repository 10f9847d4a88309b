#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The string table: Japanese and English texts under the same ids, compiled
// into the program. The interface is Japanese unless the locale names another
// language.
enum class UiLanguage { Japanese, English };

UiLanguage LanguageFromEnvironment();
UiLanguage CurrentLanguage();
void SetLanguage(UiLanguage language);

// The text of entry `id`. Raises my::CException 58743 when the entry does not
// exist and 58744 when it is too long to load.
std::string LoadString(uint32_t id);

// As LoadString, but an empty text instead of an exception.
bool TryLoadString(uint32_t id, std::string& text);

// The texts of a dialog's .ui file: the entries of the group named after the
// file ("ui/print.ui"), keyed by the ids of the objects they belong to.
std::vector<std::pair<std::string, std::string>> LoadUiTexts(const std::string& uiFile);

// "help\ntooltip" entries of command ids.
std::string CommandHelpText(uint32_t id);
std::string CommandToolTip(uint32_t id);
