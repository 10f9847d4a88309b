#pragma once
#include <string>

// The open-URL dialog's starting text from clipboard text: the first line
// (up to the first CR LF or LF) without white space at either end.
std::string UrlPrefillFromText(const std::string& text);
