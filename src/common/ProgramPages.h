#pragma once
#include <string>

// The program's own pages (home, usage, recommended links) are installed with
// it and named "qvpage:NAME" in the string table. This gives their file://
// URL; any other URL comes back unchanged.
std::string ResolveProgramPageUrl(const std::string& url);

// The folder the pages are installed in.
std::string ProgramPagesFolder();
