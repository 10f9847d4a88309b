#pragma once
#include "common/Types.h"
#include "imaging/ImgEncoder.h"
#include "printing/PageSetting.h"

#include <string>
#include <vector>

// What the command line asks for. Everything here has been checked: sizes,
// trims and counts are in range, and options that cannot go together are not.
struct CCommandLine {
    enum class Mode { Window, Save, Print, Help, Version };
    Mode mode = Mode::Window;
    // As typed; empty in window mode means the stored start URL.
    std::string url;

    // Batch runs: the browser's size and trims (the settings file is not read
    // for them) and the time the whole run may take.
    CSize size{1024, 768};
    CRect trim;
    int timeoutSeconds = 300;
    // After the page is finished: a further wait, then a JavaScript
    // expression that must become true before the capture.
    int delayMs = 0;
    std::string waitFor;
    // Device pixels per CSS pixel of the capture; sizes and trims stay in
    // CSS pixels.
    int scale = 1;

    // --save
    std::string saveFile;
    ImgContainer container = ImgContainer::Png;

    // --print: an empty printer means the default one; "PDF" writes `output`.
    std::string printer;
    std::string paper;
    bool landscape = false;
    CPageSetting pageSetting;
    std::string output;

    bool IsBatch() const { return mode == Mode::Save || mode == Mode::Print; }
};

struct CCommandLineResult {
    CCommandLine options;
    // kExitDone, or kExitUsage with `error` saying what is wrong.
    int status = 0;
    std::string error;
};

// Parses the arguments (args[0] is the program) with GLib's option parser.
// Texts come from the string table in the current language.
CCommandLineResult ParseCommandLine(const std::vector<std::string>& args);

// The --help text.
std::string CommandLineHelp();
// The --version line: "quorvane 1.0.0.0".
std::string CommandLineVersion();

// A URL argument as the browser should get it: an absolute path, or an
// existing file named by a path relative to `cwd`, becomes its file:// URI;
// anything else is left for the browser to interpret (a bare host name is
// taken as a web address).
std::string CommandLineUrl(const std::string& argument, const std::string& cwd);

// --save's name for standard output (with --format).
inline constexpr const char* kStandardOutputName = "-";

// Limits of the values the command line accepts.
inline constexpr int kMaxCommandLineMarginMm = 100;
inline constexpr int kMaxCommandLineTimeout = 86400;
inline constexpr int kMaxCommandLineScale = 4;
