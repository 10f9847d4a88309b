#pragma once
// Looking at a PDF that a print job produced: its objects read with qpdf,
// page count and sizes (pdfinfo), pages rendered to pixels (pdftoppm).
#include "common/Types.h"
#include "printing/PageSetting.h"
#include "printing/poster/PaperInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CPdfPageSize {
    double width = 0, height = 0;  // points
};

struct CRenderedPage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    bool Near(int x, int y, uint8_t r, uint8_t g, uint8_t b, int tolerance = 40) const;
    std::string ColourText(int x, int y) const;
};

// The whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

bool HavePopplerTools();
// Sizes of all pages; nothing when pdfinfo fails.
std::optional<std::vector<CPdfPageSize>> PdfPageSizes(const std::string& path);
// The text of one page (pdftotext).
std::optional<std::string> PdfPageText(const std::string& path, int page);
// The words of one page with their boxes, in points from the page's top
// left corner (pdftotext -bbox).
struct CPdfWord {
    std::string text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
std::optional<std::vector<CPdfWord>> PdfPageWords(const std::string& path, int page);
std::optional<CRenderedPage> RenderPdfPage(const std::string& path, int page, int dpi);
// The page rendered to exactly `width` x `height` pixels.
std::optional<CRenderedPage> RenderPdfPageTo(const std::string& path, int page, int width, int height);
bool HaveGhostscript();
std::optional<CRenderedPage> RenderPostScriptPage(const std::string& path, int page, int dpi);
// Pixel sizes of the images the PDF embeds (pdfimages -list).
std::optional<std::vector<CSize>> PdfImageSizes(const std::string& path);

// What a PDF holds, read with qpdf, whether its objects are plain or packed
// into object streams.
struct CPdfImageFacts {
    int width = 0, height = 0;
    std::string filter;  // "/FlateDecode", ...
    bool softMask = false;
};
struct CPdfFacts {
    size_t pages = 0;
    size_t pageGroups = 0;  // pages with a transparency group
    std::vector<CPdfPageSize> mediaBoxes;
    std::vector<CPdfImageFacts> images;  // soft masks not counted
    size_t groupForms = 0;      // forms with a transparency group
    size_t softMaskStates = 0;  // graphics states that draw through a soft mask
    size_t objectStreams = 0;
};
std::optional<CPdfFacts> ReadPdfFacts(const std::string& pdf, std::string& why);
// The two documents hold the same objects, apart from their /ID and dates.
bool SamePdfApartFromDates(const std::string& a, const std::string& b, std::string& why);

// Checks that a rendered page of the poster fixture carries tile `page` at
// `onPaper` (dots at `resolution` from the paper's top left corner): the
// tile's frame just inside each corner, its fill in the middle, white paper
// just outside. Returns what did not match.
std::vector<std::string> CheckPosterPage(const CRenderedPage& image, int dpi, int page, const CRect& onPaper,
                                         int resolution);
