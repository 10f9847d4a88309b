#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDib;

// What the clipboard offers and reads, without the clipboard itself.

// MIME types under which a copied bitmap is offered.
inline constexpr const char* kClipboardBmpType = "image/bmp";
inline constexpr const char* kClipboardPngType = "image/png";

// A bitmap goes to the clipboard only with its pixels and a 40- or 124-byte
// header.
bool CanPutOnClipboard(const CDib& dib);

// The .bmp bytes: the 14-byte file header and the packed DIB (header block
// followed by the pixels) exactly as held. Empty when the bitmap cannot go to
// the clipboard or the block would not fit a .bmp file.
std::vector<uint8_t> PackedDibFile(const CDib& dib);

// The bitmap as a PNG (8-bit RGB), encoded for speed rather than size. Empty
// when it cannot be encoded.
std::vector<uint8_t> EncodeDibPng(const CDib& dib);

// The bytes a copied bitmap is offered as, made once per Copy on the first
// request for each type and kept: pastes, and the clipboard manager's store
// at exit, no longer encode the image again.
class CClipboardImage {
public:
    explicit CClipboardImage(std::shared_ptr<const CDib> dib) : m_dib(std::move(dib)) {}
    // Empty for a type that is not offered or cannot be made.
    const std::vector<uint8_t>& Bytes(const std::string& type);

private:
    std::shared_ptr<const CDib> m_dib;
    std::vector<uint8_t> m_bmp, m_png;
    bool m_bmpMade = false, m_pngMade = false;
};

// The first line of a text, without white space (any Unicode space) or
// carriage returns at either end: the URL the open dialog starts with.
std::string FirstLineTrimmed(const std::string& text);
