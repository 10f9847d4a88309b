#pragma once
// The capture the printing tests print: each tile of a 2 x 2 FIT poster on
// A4 (1000 x 1000 pixels: tiles of 500 x 729) has a colour of its own and a
// darker frame along its edges, so a page shows at once whether it carries
// the right tile at the right place.
#include "bitmap/DibSection.h"
#include "common/Types.h"

#include <cstdint>

namespace poster {

inline constexpr int32_t kSize = 1000;
inline constexpr int32_t kTileW = 500, kTileH = 729;
inline constexpr int32_t kFrame = 8;

struct Rgb {
    uint8_t r, g, b;
};
inline constexpr Rgb kFill[4] = {{240, 80, 80}, {80, 200, 80}, {80, 80, 240}, {230, 200, 40}};
inline constexpr Rgb kEdge[4] = {{120, 0, 0}, {0, 100, 0}, {0, 0, 120}, {110, 90, 0}};

// Where each page's tile lands on A4 at 300 dpi with 10 mm margins, in dots
// from the paper's top left corner, worked by hand: the margins are
// 1000 * 300 / 2540 = 118 dots, the printable part ends at
// 20000 * 300 / 2540 = 2362 across and 28700 * 300 / 2540 = 3390 down
// (2244 x 3272 dots). A full tile fills it; the bottom row's tiles have
// 1000 - 729 = 271 rows, drawn 271 * 3272 / 729 = 1216 dots high.
inline const CRect kA4At300Tiles[4] = {
    {118, 118, 2362, 3390}, {118, 118, 2362, 3390}, {118, 118, 2362, 1334}, {118, 118, 2362, 1334}};

inline int TileOf(int32_t x, int32_t y) { return (y / kTileH) * 2 + x / kTileW; }

inline Rgb ColourAt(int32_t x, int32_t y)
{
    const int tile = TileOf(x, y);
    const int32_t tx = x % kTileW, ty = y % kTileH;
    const int32_t th = y >= kTileH ? kSize - kTileH : kTileH;
    const bool edge = tx < kFrame || tx >= kTileW - kFrame || ty < kFrame || ty >= th - kFrame;
    return edge ? kEdge[tile] : kFill[tile];
}

inline CDibSectionPtr MakeCapture()
{
    CDibSectionPtr dib = CDibSection::New(kSize, kSize, 24);
    for (int32_t y = 0; y < kSize; ++y) {
        uint8_t* row = dib->RowFromTop(y);
        for (int32_t x = 0; x < kSize; ++x) {
            const Rgb c = ColourAt(x, y);
            row[x * 3] = c.b;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.r;
        }
    }
    return dib;
}

}  // namespace poster
