#pragma once
#include <string>

typedef struct _GBytes GBytes;

// Resources compiled into the program live under this path.
inline constexpr const char* kResourcePrefix = "/org/brackwater/Quorvane/";

// The bytes of a compiled-in resource (e.g. "strings/ja.ini"); null when absent.
// The caller owns the reference.
GBytes* LookupResource(const std::string& relativePath);
std::string ResourcePath(const std::string& relativePath);
