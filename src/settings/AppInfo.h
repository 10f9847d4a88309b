#pragma once
#include <array>
#include <cstdint>
#include <string>

// What the program says about itself: names, version, legal notice and home
// page. Loaded once; read by the About box, captions and the settings path.
struct CAppInfo {
    std::string companyName;  // string 130
    std::string productName;  // string 131
    std::string displayName;  // string 140
    std::string homePageUrl;  // string 134, resolved to an address a browser opens
    std::string legalNotice;
    std::array<uint16_t, 4> version{};

    // Four numbers joined by ".", always four.
    std::string VersionText() const;
    // Display name, two spaces, version text.
    std::string NameLine() const;
};

// The program's version as compiled in.
std::array<uint16_t, 4> BuildVersion();
std::string VersionText(const std::array<uint16_t, 4>& version);

// Loads the values on the first call; later calls do nothing.
void InitAppInfo();
// The loaded values (loading them first if needed).
const CAppInfo& TheAppInfo();

// The per-user folder of the program's data: the user's configuration folder
// + company name + product name.
std::string AppDataFolder();
