// What CUPS knows about its destinations, read once per printer opened.
#include "printing/devices/Printers.h"

#include "errors/MessageFormat.h"

#include <cups/cups.h>

#include <cstring>

namespace {

CRect MarginsOf(const cups_size_t& size) { return {size.left, size.top, size.right, size.bottom}; }

// The built-in "PDF" destination: common papers, no hardware margins.
CPrinterPtr PdfPrinter()
{
    std::vector<CMediaInfo> media{
        {"iso_a3_297x420mm", "A3", 29700, 42000, {}},     {"iso_a4_210x297mm", "A4", 21000, 29700, {}},
        {"iso_a5_148x210mm", "A5", 14800, 21000, {}},     {"jis_b4_257x364mm", "B4 (JIS)", 25700, 36400, {}},
        {"jis_b5_182x257mm", "B5 (JIS)", 18200, 25700, {}}, {"na_letter_8.5x11in", "Letter", 21590, 27940, {}},
        {"na_legal_8.5x14in", "Legal", 21590, 35560, {}}, {"na_ledger_11x17in", "Tabloid", 27940, 43180, {}},
    };
    return std::make_shared<CPrinter>(kPdfPrinterName, true, 300, std::move(media), "iso_a4_210x297mm",
                                      std::vector<std::string>{}, "", DMORIENT_PORTRAIT);
}

// The name a person knows a paper by. CUPS has none for some queues (PPD
// sizes it lists by their PWG keyword, "iso_a4_210x297mm_borderless"):
// then the standard name of the size ("A4"), marked when borderless.
std::string MediaDisplayName(const char* localized, const std::string& keyword)
{
    if (localized && *localized && keyword != localized)
        return localized;
    const std::string suffix = "_borderless";
    const bool borderless = keyword.size() > suffix.size() &&
                            keyword.compare(keyword.size() - suffix.size(), suffix.size(), suffix) == 0;
    const std::string plain = borderless ? keyword.substr(0, keyword.size() - suffix.size()) : keyword;
    const pwg_media_t* pwg = pwgMediaForPWG(plain.c_str());
    if (!pwg || !pwg->ppd)
        return keyword;
    return borderless ? FormatMessageText(169, {pwg->ppd}) : std::string(pwg->ppd);
}

int32_t DefaultResolution(cups_dest_t* dest, cups_dinfo_t* info)
{
    ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution");
    if (!attr || ippGetValueTag(attr) != IPP_TAG_RESOLUTION)
        return 300;
    int yres = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    int xres = ippGetResolution(attr, 0, &yres, &units);
    if (units == IPP_RES_PER_CM)
        xres = static_cast<int>(xres * 2.54 + 0.5);
    return xres > 0 ? xres : 300;
}

int16_t DefaultOrientation(cups_dest_t* dest, cups_dinfo_t* info)
{
    if (const char* value = cupsGetOption("orientation-requested", dest->num_options, dest->options))
        return std::strcmp(value, "4") == 0 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    if (cupsGetOption("landscape", dest->num_options, dest->options))
        return DMORIENT_LANDSCAPE;
    ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "orientation-requested");
    return attr && ippGetInteger(attr, 0) == IPP_ORIENT_LANDSCAPE ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
}

// The upper end of the printer's copies-supported range; the default limit
// when it gives none.
int32_t MaxCopiesOf(cups_dest_t* dest, cups_dinfo_t* info)
{
    ipp_attribute_t* attr = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "copies");
    int upper = 0;
    if (attr && ippGetValueTag(attr) == IPP_TAG_RANGE)
        ippGetRange(attr, 0, &upper);
    else if (attr && ippGetValueTag(attr) == IPP_TAG_INTEGER)
        upper = ippGetInteger(attr, 0);
    return upper >= 1 ? upper : kDefaultMaxCopies;
}

std::vector<std::string> KeywordsOf(ipp_attribute_t* attr)
{
    std::vector<std::string> values;
    for (int i = 0; attr && i < ippGetCount(attr); ++i)
        if (const char* v = ippGetString(attr, i, nullptr))
            values.emplace_back(v);
    return values;
}

// The server's own default destination, asked of the server itself: the
// user's settings are not consulted.
std::string ServerDefaultPrinterName()
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-name");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    std::string name;
    if (ipp_attribute_t* attr = response ? ippFindAttribute(response, "printer-name", IPP_TAG_NAME) : nullptr)
        if (const char* value = ippGetString(attr, 0, nullptr))
            name = value;
    ippDelete(response);
    return name;
}

}  // namespace

std::optional<CMediaInfo> StandardMedia(const std::string& keyword)
{
    const pwg_media_t* pwg = keyword.empty() ? nullptr : pwgMediaForPWG(keyword.c_str());
    if (!pwg || pwg->width <= 0 || pwg->length <= 0)
        return std::nullopt;
    return CMediaInfo{keyword, MediaDisplayName(nullptr, keyword), pwg->width, pwg->length, {}};
}

CPrinterPtr CPrinter::Open(const std::string& name)
{
    if (name == kPdfPrinterName)
        return PdfPrinter();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    if (!dest)
        return nullptr;
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (!info) {
        cupsFreeDests(1, dest);
        return nullptr;
    }

    std::vector<CMediaInfo> media;
    const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT);
    for (int i = 0; i < count; ++i) {
        cups_size_t size{};
        if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, info, i, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            continue;
        const char* shown = cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size);
        media.push_back({size.media, MediaDisplayName(shown, size.media), size.width, size.length, MarginsOf(size)});
    }
    // The default paper by its keyword: cupsGetDestMediaDefault answers the
    // locale's paper for PPD queues rather than the queue's own.
    cups_size_t def{};
    std::string defaultMedia;
    const char* defaultName = cupsGetOption("media", dest->num_options, dest->options);
    if (!defaultName)
        if (ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media"))
            defaultName = ippGetString(attr, 0, nullptr);
    if ((defaultName &&
         cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, defaultName, CUPS_MEDIA_FLAGS_DEFAULT, &def)) ||
        cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &def)) {
        defaultMedia = def.media;
        bool listed = false;
        for (const CMediaInfo& m : media)
            listed = listed || m.name == defaultMedia;
        if (!listed)
            media.insert(media.begin(), WithListedMargins({def.media, MediaDisplayName(nullptr, def.media), def.width,
                                                           def.length, MarginsOf(def)},
                                                          media));
    }

    std::vector<std::string> sources =
        KeywordsOf(cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "media-source"));
    std::string defaultSource;
    if (ipp_attribute_t* attr = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media-source"))
        if (const char* v = ippGetString(attr, 0, nullptr))
            defaultSource = v;

    std::map<std::string, std::string> sourceNames;
    for (const std::string& source : sources)
        if (const char* shown = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest, info, "media-source", source.c_str()))
            sourceNames[source] = shown;
    auto printer = std::make_shared<CPrinter>(dest->name, false, DefaultResolution(dest, info), std::move(media),
                                              defaultMedia, std::move(sources), defaultSource,
                                              DefaultOrientation(dest, info));
    printer->SetSourceNames(std::move(sourceNames));
    printer->SetMaxCopies(MaxCopiesOf(dest, info));
    cupsFreeDestInfo(info);
    cupsFreeDests(1, dest);
    return printer;
}

std::vector<std::string> EnumPrinterNames()
{
    std::vector<std::string> names;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i)
        if (!dests[i].instance && std::strcmp(dests[i].name, kPdfPrinterName) != 0)
            names.emplace_back(dests[i].name);
    cupsFreeDests(count, dests);
    names.emplace_back(kPdfPrinterName);
    return names;
}

std::string DefaultPrinterName()
{
    // The user's own default (lpoptions -d, LPDEST, PRINTER) when the server
    // has that queue; a default naming a queue it lacks gives nothing here.
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) {
        const std::string server = ServerDefaultPrinterName();
        if (!server.empty())
            dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, server.c_str(), nullptr);
    }
    if (!dest)
        return kPdfPrinterName;
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}
