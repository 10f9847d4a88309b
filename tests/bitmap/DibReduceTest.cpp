#include "bitmap/DibReduce.h"

#include <gtest/gtest.h>

namespace {

// Blue, green and red of pixel (x, y) counted from the top.
void Put(CDib& dib, int32_t x, int32_t y, uint8_t b, uint8_t g, uint8_t r)
{
    uint8_t* p = dib.RowFromTop(y) + size_t(x) * (dib.BitCount() / 8);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

std::vector<int> Pixel(const CDib& dib, int32_t x, int32_t y)
{
    const uint8_t* p = dib.RowFromTop(y) + size_t(x) * 3;
    return {p[0], p[1], p[2]};
}

}  // namespace

TEST(DibReduce, AveragesWholeBlocksAndWhatTheEdgeLeaves)
{
    for (uint16_t bits : {24, 32}) {
        SCOPED_TRACE(bits);
        // 5 x 3 pixels, halved: 3 x 2, the last column and row from partial blocks.
        CDibSectionPtr dib = CDibSection::New(5, 3, bits);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x)
                Put(*dib, x, y, uint8_t(10 * x), uint8_t(100 * y), 7);
        CDibSectionPtr half = ReduceDib(*dib, {0, 0, 5, 3}, 2);
        ASSERT_TRUE(half);
        EXPECT_EQ(half->BitCount(), 24);
        EXPECT_EQ(half->Width(), 3);
        EXPECT_EQ(half->Height(), 2);
        EXPECT_EQ(Pixel(*half, 0, 0), (std::vector<int>{5, 50, 7}));    // (0+10+0+10)/4, (0+0+100+100)/4
        EXPECT_EQ(Pixel(*half, 2, 0), (std::vector<int>{40, 50, 7}));   // one column of two rows
        EXPECT_EQ(Pixel(*half, 1, 1), (std::vector<int>{25, 200, 7}));  // one row of two columns
        EXPECT_EQ(Pixel(*half, 2, 1), (std::vector<int>{40, 200, 7}));  // a single pixel
    }
}

TEST(DibReduce, AreaInsideTheBitmapAndRefusals)
{
    CDibSectionPtr dib = CDibSection::New(4, 4, 24);
    Put(*dib, 3, 3, 200, 100, 50);
    CDibSectionPtr corner = ReduceDib(*dib, {2, 2, 9, 9}, 2);  // cut to the bitmap
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->Width(), 1);
    EXPECT_EQ(Pixel(*corner, 0, 0), (std::vector<int>{50, 25, 13}));
    EXPECT_FALSE(ReduceDib(*dib, {0, 0, 4, 4}, 0));
    EXPECT_FALSE(ReduceDib(*dib, {4, 4, 8, 8}, 2));
    EXPECT_FALSE(ReduceDib(*CDibSection::New(4, 4, 8), {0, 0, 4, 4}, 2));
}
