#pragma once
#include "imaging/ImgEncoder.h"

#include <cstdint>
#include <string>
#include <vector>

// The file types the Save command offers, in the order of the dialog's type
// list (filter index 1 to 4).
struct CSaveFileType {
    uint32_t nameId;        // display name in the string table
    const char* patterns;   // "*.jpg;*.jpeg;..."
    const char* extension;  // appended to a name without one
    ImgContainer container;
};

const std::vector<CSaveFileType>& SaveFileTypes();

// The container for a 1-based filter index; JPEG for an index outside 1-4.
ImgContainer ContainerForFilter(int filterIndex);

// "JPEG ファイル (*.jpg;*.jpeg;*.jpe;*.jfif)"
std::string FilterDisplayText(const CSaveFileType& type);

// A file name pattern that matches letters in either case ("*.jpg" gives
// "*.[jJ][pP][gG]"): the toolkit's patterns are case-sensitive, and "MAP.JPG"
// is a JPEG file too.
std::string AnyCasePattern(const std::string& pattern);

// Completes the extension of a chosen path: when its last "/" or "." is a
// "/" (the name has no "."), or it has neither, "." and the type's extension
// are appended. Names with a "." are left as typed, whatever the type.
// Indexes outside 1-4 leave the path alone.
std::string CompleteExtension(const std::string& path, int filterIndex);
