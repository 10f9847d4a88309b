#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Blanks the transparency group that cairo writes into every page
// dictionary, as the PDF stream passes through on its way out.
//
// CUPS turns PDF into PostScript for PostScript queues (pdftops, Ghostscript
// ps2write); a page that carries a transparency group is flattened there into
// one page-sized raster at the queue's resolution, which is slow and loses
// the images as they were. The poster pages hold only opaque images, so the
// group changes nothing in how they look. The group is overwritten with the
// same number of spaces, which keeps every byte offset of the file (the cross
// reference table) valid.
//
// Only page objects are touched: cairo writes the same group text into the
// forms of soft masks, where it decides how the mask is computed.
class CPdfPageGroupFilter {
public:
    using Output = std::function<bool(const char* data, size_t length)>;
    explicit CPdfPageGroupFilter(Output output) : m_output(std::move(output)) {}

    bool Write(const char* data, size_t length);
    // Passes on what is still held back.
    bool Flush();
    size_t GroupsBlanked() const { return m_blanked; }

    // The page group exactly as cairo writes it.
    static std::string_view PageGroup();

private:
    // Where the next page object starts in m_held at or after `from`, when
    // its marker and the character after it have arrived.
    size_t FindPageObject(size_t from) const;
    void BlankGroups(size_t from, size_t to);

    Output m_output;
    std::string m_held;
    bool m_inPage = false;
    size_t m_blanked = 0;
};
