#include "batch/CommandLine.h"

#include "batch/ExitStatus.h"
#include "common/NumberText.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"
#include "imaging/SaveFileTypes.h"
#include "printing/poster/PosterGeometry.h"
#include "printing/devices/Printers.h"
#include "settings/SettingRange.h"

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <sstream>

namespace {

// The raw values GLib fills in, freed with the parse.
struct RawOptions {
    gboolean help = FALSE, version = FALSE, print = FALSE, landscape = FALSE;
    gchar* save = nullptr;
    gchar* size = nullptr;
    gchar* trim = nullptr;
    gchar* format = nullptr;
    gchar* printer = nullptr;
    gchar* sheets = nullptr;
    gchar* dpi = nullptr;
    gchar* paper = nullptr;
    gchar* margins = nullptr;
    gchar* output = nullptr;
    gchar* timeout = nullptr;
    gchar* delay = nullptr;
    gchar* waitFor = nullptr;
    gchar* scale = nullptr;
    gchar** rest = nullptr;

    ~RawOptions()
    {
        for (gchar* s : {save, size, trim, format, printer, sheets, dpi, paper, margins, output, timeout, delay, waitFor,
                         scale})
            g_free(s);
        g_strfreev(rest);
    }
};

// One option: its name, short name, kind and where GLib puts it; the texts
// of --help are the string table's entries at `textId` (description) and
// `textId` + 1 (argument name, for options that take one).
struct OptionSpec {
    const char* name;
    char shortName;
    GOptionArg arg;
    uint32_t textId;
    gpointer (*target)(RawOptions&);
};

#define QV_TARGET(field) [](RawOptions& r) -> gpointer { return &r.field; }
const OptionSpec kOptions[] = {
    {"save", 's', G_OPTION_ARG_FILENAME, IDS_CL_OPTION_FIRST + 0, QV_TARGET(save)},
    {"print", 'p', G_OPTION_ARG_NONE, IDS_CL_OPTION_FIRST + 2, QV_TARGET(print)},
    {"size", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 4, QV_TARGET(size)},
    {"trim", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 6, QV_TARGET(trim)},
    {"format", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 8, QV_TARGET(format)},
    {"printer", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 10, QV_TARGET(printer)},
    {"sheets", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 12, QV_TARGET(sheets)},
    {"dpi", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 14, QV_TARGET(dpi)},
    {"paper", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 16, QV_TARGET(paper)},
    {"landscape", 0, G_OPTION_ARG_NONE, IDS_CL_OPTION_FIRST + 18, QV_TARGET(landscape)},
    {"margins", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 20, QV_TARGET(margins)},
    {"output", 'o', G_OPTION_ARG_FILENAME, IDS_CL_OPTION_FIRST + 22, QV_TARGET(output)},
    {"timeout", 0, G_OPTION_ARG_STRING, IDS_CL_OPTION_FIRST + 24, QV_TARGET(timeout)},
    {"delay", 0, G_OPTION_ARG_STRING, IDS_CL_DELAY, QV_TARGET(delay)},
    {"wait-for", 0, G_OPTION_ARG_STRING, IDS_CL_DELAY + 2, QV_TARGET(waitFor)},
    {"scale", 0, G_OPTION_ARG_STRING, IDS_CL_DELAY + 4, QV_TARGET(scale)},
    {"help", 'h', G_OPTION_ARG_NONE, IDS_CL_OPTION_FIRST + 26, QV_TARGET(help)},
    {"version", 'V', G_OPTION_ARG_NONE, IDS_CL_OPTION_FIRST + 28, QV_TARGET(version)},
};
#undef QV_TARGET

struct ContextDeleter {
    void operator()(GOptionContext* c) const { g_option_context_free(c); }
};
using ContextPtr = std::unique_ptr<GOptionContext, ContextDeleter>;

// The option context with the texts of the current language. `texts` keeps
// the strings GLib points at alive as long as the context.
ContextPtr MakeContext(RawOptions& raw, std::vector<std::string>& texts, std::vector<GOptionEntry>& entries)
{
    texts.reserve(std::size(kOptions) * 2);
    for (const OptionSpec& spec : kOptions) {
        GOptionEntry entry{};
        entry.long_name = spec.name;
        entry.short_name = spec.shortName;
        entry.arg = spec.arg;
        entry.arg_data = spec.target(raw);
        entry.description = texts.emplace_back(LoadString(spec.textId)).c_str();
        if (spec.arg != G_OPTION_ARG_NONE)
            entry.arg_description = texts.emplace_back(LoadString(spec.textId + 1)).c_str();
        entries.push_back(entry);
    }
    GOptionEntry rest{};
    rest.long_name = G_OPTION_REMAINING;
    rest.arg = G_OPTION_ARG_STRING_ARRAY;
    rest.arg_data = &raw.rest;
    entries.push_back(rest);
    entries.push_back(GOptionEntry{});

    ContextPtr context(g_option_context_new(LoadString(IDS_CL_PARAMETER).c_str()));
    g_option_context_set_summary(context.get(), LoadString(IDS_CL_SUMMARY).c_str());
    g_option_context_set_description(context.get(), LoadString(IDS_CL_DESCRIPTION).c_str());
    // --help is ours: GLib's would end the process from inside the parser.
    g_option_context_set_help_enabled(context.get(), FALSE);
    g_option_context_add_main_entries(context.get(), entries.data(), nullptr);
    return context;
}

// A usage error: thrown inside the checks, turned into the result.
struct UsageError {
    std::string text;
};

[[noreturn]] void BadValue(const char* option, const std::string& value, const std::string& why = {})
{
    std::string text = FormatMessageText(IDS_CL_BAD_VALUE, {std::string("--") + option, value});
    if (!why.empty())
        text += "\n" + why;
    throw UsageError{text};
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

int Number(const char* option, const std::string& all, const std::string& text, int min, int max)
{
    const std::optional<int32_t> value = ParseIntText(text);
    if (!value)
        BadValue(option, all);
    if (*value < min || *value > max)
        BadValue(option, all, FormatMessageText(IDS_CL_OUT_OF_RANGE, {text, std::to_string(min), std::to_string(max)}));
    return *value;
}

int Number(const char* option, const std::string& text, int min, int max)
{
    return Number(option, text, text, min, max);
}

// "WxH" (also "WXH"), each side from min to max.
CSize Pair(const char* option, const std::string& text, int min, int max)
{
    std::string lower = text;
    std::replace(lower.begin(), lower.end(), 'X', 'x');
    const std::vector<std::string> parts = Split(lower, 'x');
    if (parts.size() != 2)
        BadValue(option, text);
    return {Number(option, text, parts[0], min, max), Number(option, text, parts[1], min, max)};
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(g_ascii_tolower(c));
    return text;
}

// The container whose save-dialog patterns include "*.<extension>".
std::optional<ImgContainer> ContainerForExtension(const std::string& extension)
{
    if (extension.empty())
        return std::nullopt;
    const std::string pattern = "*." + Lower(extension);
    for (const CSaveFileType& type : SaveFileTypes())
        for (const std::string& p : Split(type.patterns, ';'))
            if (p == pattern)
                return type.container;
    return std::nullopt;
}

std::string OptionName(const char* name) { return std::string("--") + name; }

[[noreturn]] void Conflict(const char* a, const char* b)
{
    throw UsageError{FormatMessageText(IDS_CL_CONFLICT, {OptionName(a), OptionName(b)})};
}

void Check(const RawOptions& raw, CCommandLine& out)
{
    if (raw.help || raw.version) {
        out.mode = raw.help ? CCommandLine::Mode::Help : CCommandLine::Mode::Version;
        return;
    }
    if (raw.save && raw.print)
        Conflict("save", "print");
    out.mode = raw.save ? CCommandLine::Mode::Save : raw.print ? CCommandLine::Mode::Print : CCommandLine::Mode::Window;

    // Options that belong to one mode only.
    const std::pair<const char*, bool> saveOnly[] = {{"format", raw.format != nullptr}};
    const std::pair<const char*, bool> printOnly[] = {
        {"printer", raw.printer != nullptr}, {"sheets", raw.sheets != nullptr}, {"dpi", raw.dpi != nullptr},
        {"paper", raw.paper != nullptr},     {"landscape", raw.landscape != FALSE}, {"margins", raw.margins != nullptr},
        {"output", raw.output != nullptr}};
    const std::pair<const char*, bool> batchOnly[] = {
        {"size", raw.size != nullptr},   {"trim", raw.trim != nullptr},         {"timeout", raw.timeout != nullptr},
        {"delay", raw.delay != nullptr}, {"wait-for", raw.waitFor != nullptr}, {"scale", raw.scale != nullptr}};
    for (const auto& [name, given] : saveOnly)
        if (given && out.mode != CCommandLine::Mode::Save)
            throw UsageError{FormatMessageText(IDS_CL_NEEDS, {OptionName(name), "--save"})};
    for (const auto& [name, given] : printOnly)
        if (given && out.mode != CCommandLine::Mode::Print)
            throw UsageError{FormatMessageText(IDS_CL_NEEDS, {OptionName(name), "--print"})};
    for (const auto& [name, given] : batchOnly)
        if (given && !out.IsBatch())
            throw UsageError{FormatMessageText(IDS_CL_NEEDS, {OptionName(name), "--save, --print"})};
    if (raw.sheets && raw.dpi)
        Conflict("sheets", "dpi");

    const int urls = raw.rest ? static_cast<int>(g_strv_length(raw.rest)) : 0;
    if (urls > 1)
        throw UsageError{FormatMessageText(IDS_CL_ONE_URL, {raw.rest[1]})};
    if (urls == 1)
        out.url = raw.rest[0];
    if (out.url.empty() && out.IsBatch())
        throw UsageError{LoadString(IDS_CL_NO_URL)};
    if (!out.IsBatch())
        return;

    if (raw.size)
        out.size = Pair("size", raw.size, 1, kMaxBrowserSide);
    if (raw.trim) {
        const std::vector<std::string> parts = Split(raw.trim, ',');
        if (parts.size() != 4)
            BadValue("trim", raw.trim);
        int v[4];
        for (int i = 0; i < 4; ++i)
            v[i] = Number("trim", raw.trim, parts[size_t(i)], 0, kMaxBrowserSide);
        out.trim = CRect{v[0], v[1], v[2], v[3]};
        // The same check as the capture's, before anything is loaded.
        if (int64_t(v[0]) + v[2] >= out.size.cx || int64_t(v[1]) + v[3] >= out.size.cy)
            BadValue("trim", raw.trim, LoadString(189));
    }
    if (raw.timeout)
        out.timeoutSeconds = Number("timeout", raw.timeout, 1, kMaxCommandLineTimeout);
    if (raw.delay)
        out.delayMs = Number("delay", raw.delay, 0, kMaxCommandLineTimeout * 1000);
    if (raw.waitFor) {
        // The expression goes to the page as it is; it must be one line of text.
        if (!*raw.waitFor || !g_utf8_validate(raw.waitFor, -1, nullptr) || std::strlen(raw.waitFor) > 10000)
            BadValue("wait-for", raw.waitFor);
        out.waitFor = raw.waitFor;
    }
    if (raw.scale)
        out.scale = Number("scale", raw.scale, 1, kMaxCommandLineScale);

    if (out.mode == CCommandLine::Mode::Save) {
        if (!*raw.save)
            BadValue("save", raw.save);
        out.saveFile = raw.save;
        if (raw.format) {
            const std::optional<ImgContainer> container = ContainerForExtension(raw.format);
            if (!container)
                BadValue("format", raw.format);
            out.container = *container;
        } else {
            gchar* base = g_path_get_basename(raw.save);
            const char* dot = std::strrchr(base, '.');
            const std::optional<ImgContainer> container = ContainerForExtension(dot ? dot + 1 : "");
            g_free(base);
            if (!container)
                throw UsageError{FormatMessageText(IDS_CL_UNKNOWN_EXTENSION, {raw.save})};
            out.container = *container;
        }
        return;
    }

    if (raw.printer) {
        if (!*raw.printer)
            BadValue("printer", raw.printer);
        out.printer = raw.printer;
    }
    if (raw.output) {
        if (!*raw.output)
            BadValue("output", raw.output);
        // --output is the built-in PDF destination's file.
        if (!out.printer.empty() && out.printer != kPdfPrinterName)
            Conflict("printer", "output");
        out.printer = kPdfPrinterName;
        out.output = raw.output;
    } else if (out.printer == kPdfPrinterName) {
        throw UsageError{LoadString(IDS_CL_PDF_NEEDS_OUTPUT)};
    }
    if (raw.paper) {
        if (!*raw.paper)
            BadValue("paper", raw.paper);
        out.paper = raw.paper;
    }
    out.landscape = raw.landscape;
    if (raw.sheets) {
        out.pageSetting.fitType = FIT;
        out.pageSetting.papers = Pair("sheets", raw.sheets, kSheetLimits.min, kSheetLimits.max);
        // Known before anything is loaded: the job would be refused anyway.
        const int sheets = out.pageSetting.papers.cx * out.pageSetting.papers.cy;
        if (sheets > kMaxJobSheets)
            BadValue("sheets", raw.sheets, FormatMessageText(IDS_BATCH_TOO_MANY_SHEETS, {std::to_string(sheets), std::to_string(kMaxJobSheets)}));
    }
    if (raw.dpi) {
        out.pageSetting.fitType = DPI;
        out.pageSetting.dpi = Number("dpi", raw.dpi, kDpiLimits.min, kDpiLimits.max);
    }
    if (raw.margins) {
        const int mm = Number("margins", raw.margins, 0, kMaxCommandLineMarginMm);
        out.pageSetting.margin = CRect{mm * 100, mm * 100, mm * 100, mm * 100};
    }
}

}  // namespace

CCommandLineResult ParseCommandLine(const std::vector<std::string>& args)
{
    CCommandLineResult result;
    RawOptions raw;
    std::vector<std::string> texts;
    std::vector<GOptionEntry> entries;
    ContextPtr context = MakeContext(raw, texts, entries);

    std::vector<gchar*> argv;
    for (const std::string& arg : args)
        argv.push_back(g_strdup(arg.c_str()));
    if (argv.empty())
        argv.push_back(g_strdup("quorvane"));
    argv.push_back(nullptr);
    // The parser removes what it has read from the vector it is given.
    gchar** parsed = g_strdupv(argv.data());
    for (gchar* arg : argv)
        g_free(arg);

    GError* error = nullptr;
    const bool ok = g_option_context_parse_strv(context.get(), &parsed, &error);
    g_strfreev(parsed);
    try {
        if (!ok) {
            const std::string text = error && error->message ? error->message : "";
            g_clear_error(&error);
            throw UsageError{text};
        }
        Check(raw, result.options);
    } catch (const UsageError& e) {
        result.status = kExitUsage;
        result.error = FormatMessageText(IDS_CL_USAGE_ERROR, {e.text});
    }
    return result;
}

std::string CommandLineHelp()
{
    RawOptions raw;
    std::vector<std::string> texts;
    std::vector<GOptionEntry> entries;
    ContextPtr context = MakeContext(raw, texts, entries);
    gchar* help = g_option_context_get_help(context.get(), TRUE, nullptr);
    std::string text = help ? help : "";
    g_free(help);
    return text;
}

std::string CommandLineVersion() { return std::string("quorvane ") + QV_VERSION_TEXT; }

std::string CommandLineUrl(const std::string& argument, const std::string& cwd)
{
    // Anything with a scheme ("https:", "file:", "qvpage:") is a URL already.
    if (char* scheme = g_uri_parse_scheme(argument.c_str())) {
        g_free(scheme);
        return argument;
    }
    gchar* path = g_path_is_absolute(argument.c_str()) ? g_strdup(argument.c_str())
                                                       : g_build_filename(cwd.c_str(), argument.c_str(), nullptr);
    std::string url = argument;
    // An absolute path is a file even when it is missing (the page then says
    // so); a relative one only when it exists, else "example.org" is a host.
    if (g_path_is_absolute(argument.c_str()) || g_file_test(path, G_FILE_TEST_EXISTS)) {
        gchar* canonical = g_canonicalize_filename(path, nullptr);
        if (gchar* uri = g_filename_to_uri(canonical, nullptr, nullptr)) {
            url = uri;
            g_free(uri);
        }
        g_free(canonical);
    }
    g_free(path);
    return url;
}
