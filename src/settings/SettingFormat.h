#pragma once
#include "settings/Setting.h"
#include "xml/XmlSerializer.h"

#include <string>

// The settings file: a "QuorvaneSetting" document whose elements mirror the
// members of CSetting in a fixed order.

// The format version this program writes (1.0.0.0).
inline constexpr uint32_t kSettingFormatVersion = kXmlVersion1000;

// The document every settings file starts from.
extern const char* const kSettingTemplate;

// Builds the document for `setting` in `xml`. A fit type or print flags
// without a name fail with 59013.
bool WriteSettingDocument(CXmlSerializer& xml, const CSetting& setting);
// Reads the loaded document into `setting`, stopping at the first failure:
// values read before it stay, the others keep what they held. The "Version"
// read goes to the serializer's version slot.
bool ReadSettingDocument(CXmlSerializer& xml, CSetting& setting);

bool WriteSettingFile(CXmlSerializer& xml, const CSetting& setting, const std::string& path);
bool ReadSettingFile(CXmlSerializer& xml, CSetting& setting, const std::string& path);
