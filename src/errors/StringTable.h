#pragma once
#include <cstdint>
#include <string>

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

// "help\ntooltip" entries of command ids.
std::string CommandHelpText(uint32_t id);
std::string CommandToolTip(uint32_t id);
