#include "bitmap/Dib.h"
#include "bitmap/DibRows.h"
#include "bitmap/DibSection.h"

#include <gtest/gtest.h>

namespace {

class PremultiplyTest : public testing::Test {
protected:
    void SetUp() override
    {
        dib = CDibSection::New(3, 2, 32);
        ASSERT_NE(dib, nullptr);
    }
    uint8_t* Px(int x, int y) { return dib->RowFromTop(y) + x * 4; }
    void Set(int x, int y, uint8_t b, uint8_t g, uint8_t r, uint8_t a)
    {
        uint8_t* p = Px(x, y);
        p[0] = b, p[1] = g, p[2] = r, p[3] = a;
    }
    CDibSectionPtr dib;
};

TEST_F(PremultiplyTest, OpaqueUnchangedTransparentBlackPartialTruncated)
{
    Set(0, 0, 10, 20, 30, 255);
    Set(1, 0, 200, 150, 100, 0);
    Set(2, 0, 200, 100, 255, 128);
    dib->Premultiply(CRect{0, 0, 3, 1});
    EXPECT_EQ(Px(0, 0)[0], 10);
    EXPECT_EQ(Px(0, 0)[2], 30);
    EXPECT_EQ(Px(1, 0)[0] | Px(1, 0)[1] | Px(1, 0)[2] | Px(1, 0)[3], 0);
    EXPECT_EQ(Px(2, 0)[0], 200 * 128 / 255);
    EXPECT_EQ(Px(2, 0)[1], 100 * 128 / 255);
    EXPECT_EQ(Px(2, 0)[2], 128);
    EXPECT_EQ(Px(2, 0)[3], 128);
}

TEST_F(PremultiplyTest, RectangleIsTopDownAndClipped)
{
    Set(0, 0, 100, 100, 100, 0);
    Set(0, 1, 100, 100, 100, 0);
    dib->Premultiply(CRect{-5, 1, 10, 10});
    EXPECT_EQ(Px(0, 0)[0], 100) << "the top line lies outside the rectangle";
    EXPECT_EQ(Px(0, 1)[0], 0);
}

TEST_F(PremultiplyTest, OnlyThirtyTwoBitImages)
{
    CDibSectionPtr rgb = CDibSection::New(1, 1, 24);
    rgb->RowFromTop(0)[0] = 77;
    rgb->Premultiply(CRect{0, 0, 1, 1});
    EXPECT_EQ(rgb->RowFromTop(0)[0], 77);
}

TEST(DibRowsTest, IndexedAndSixteenBitRowsReadThroughTheirTables)
{
    CDib mono;
    ASSERT_TRUE(mono.Create(kInfoHeaderSize, 10, 1, 1));
    ASSERT_TRUE(mono.AllocateBits());
    mono.ColorTable()[1] = RGBQUAD{0x30, 0x20, 0x10, 0};
    mono.RowFromTop(0)[0] = 0x80;  // pixel 0 set
    mono.RowFromTop(0)[1] = 0x40;  // pixel 9 set
    uint32_t out[10];
    ASSERT_TRUE(ReadDibRowXrgb(mono, 0, 0, 10, out));
    EXPECT_EQ(out[0], 0xFF102030u);
    EXPECT_EQ(out[1], 0xFF000000u);
    EXPECT_EQ(out[9], 0xFF102030u);

    CDib nibble;
    ASSERT_TRUE(nibble.Create(kInfoHeaderSize, 3, 1, 4, 2));
    ASSERT_TRUE(nibble.AllocateBits());
    nibble.ColorTable()[1] = RGBQUAD{1, 2, 3, 0};
    nibble.RowFromTop(0)[0] = 0x1F;  // entry 1, then 15, which the table lacks
    ASSERT_TRUE(ReadDibRowXrgb(nibble, 0, 0, 2, out));
    EXPECT_EQ(out[0], 0xFF030201u);
    EXPECT_EQ(out[1], 0xFF000000u);

    CDib rgb555;
    ASSERT_TRUE(rgb555.Create(kInfoHeaderSize, 1, 1, 16));
    ASSERT_TRUE(rgb555.AllocateBits());
    reinterpret_cast<uint16_t*>(rgb555.RowFromTop(0))[0] = 0x7C00;  // full red
    ASSERT_TRUE(ReadDibRowXrgb(rgb555, 0, 0, 1, out));
    EXPECT_EQ(out[0], 0xFFFF0000u);

    CDib fields;
    ASSERT_TRUE(fields.Create(kInfoHeaderSize, 1, 1, 16, 0, BI_BITFIELDS));
    ASSERT_TRUE(fields.AllocateBits());
    auto* masks = reinterpret_cast<uint32_t*>(fields.ColorTable());
    masks[0] = 0xF800, masks[1] = 0x07E0, masks[2] = 0x001F;
    reinterpret_cast<uint16_t*>(fields.RowFromTop(0))[0] = 0x07E0;  // full green in 5-6-5
    ASSERT_TRUE(ReadDibRowXrgb(fields, 0, 0, 1, out));
    EXPECT_EQ(out[0], 0xFF00FF00u);
    EXPECT_FALSE(ReadDibRowXrgb(fields, 0, 0, 2, out)) << "beyond the row";
}

TEST(DibRowsTest, ClearZeroesTheImage)
{
    CDibSectionPtr dib = CDibSection::New(2, 2);
    dib->RowFromTop(1)[5] = 9;
    dib->Clear();
    EXPECT_EQ(dib->RowFromTop(1)[5], 0);
}

}  // namespace
