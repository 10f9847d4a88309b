#pragma once
#include <cstdint>

class CDib;

// Reading a DIB's pixels in any of its layouts (1, 2, 4 and 8 bits through
// the colour table, 16 bits 5-5-5 or with bit fields, 24 bits, 32 bits with
// or without bit fields) as opaque 0xFFRRGGBB words, the layout of cairo's
// RGB24 and ARGB32 formats.
bool CanReadDibRows(const CDib& dib);

// `count` pixels of line y (from the top) starting at column x, which must lie
// inside the image. False when the layout cannot be read.
bool ReadDibRowXrgb(const CDib& dib, int32_t y, int32_t x, int32_t count, uint32_t* out);

// One row of cairo ARGB32 words written as 24-bit BGR bytes (alpha dropped).
void Argb32RowToBgr24(const uint32_t* src, int32_t count, uint8_t* dst);
