#include "bitmap/Dib.h"
#include "bitmap/DibSection.h"
#include "bitmap/PackedDib.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct StrideCase {
    int32_t width;
    uint16_t bits;
    size_t stride;
};

class DibStrideTest : public testing::TestWithParam<StrideCase> {};

TEST_P(DibStrideTest, RowsArePaddedToFourBytes)
{
    const StrideCase c = GetParam();
    EXPECT_EQ(DibStride(c.width, c.bits), c.stride);
    CDib dib;
    ASSERT_TRUE(dib.Create(kInfoHeaderSize, c.width, 3, c.bits));
    EXPECT_EQ(dib.Stride(), c.stride);
    EXPECT_EQ(dib.ImageSize(), c.stride * 3);
}

INSTANTIATE_TEST_SUITE_P(Widths, DibStrideTest,
                         testing::Values(StrideCase{1, 24, 4}, StrideCase{3, 24, 12}, StrideCase{5, 1, 4},
                                         StrideCase{33, 1, 8}, StrideCase{5, 8, 8}, StrideCase{9, 4, 8},
                                         StrideCase{3, 16, 8}, StrideCase{3, 32, 12}, StrideCase{4, 24, 12}),
                         [](const testing::TestParamInfo<StrideCase>& info) {
                             return std::to_string(info.param.width) + "px" + std::to_string(info.param.bits) + "bit";
                         });

TEST(DibHeaderTest, InfoHeaderFields)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(kInfoHeaderSize, 7, 5, 24));
    const BITMAPINFOHEADER* h = dib.Header();
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 7);
    EXPECT_EQ(h->biHeight, 5);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biCompression, BI_RGB);
    EXPECT_EQ(h->biSizeImage, 0u);
    EXPECT_EQ(h->biClrUsed, 0u);
    EXPECT_EQ(h->biXPelsPerMeter, 0);
    EXPECT_EQ(dib.HeaderBlockSize(), 40u);
    EXPECT_EQ(dib.HeaderV5(), nullptr);
    EXPECT_EQ(dib.Bits(), nullptr) << "bits come from the second call";
    EXPECT_TRUE(dib.AllocateBits());
}

TEST(DibHeaderTest, ColourTableEntries)
{
    struct Case {
        uint16_t bits;
        uint32_t requested, compression, entries;
    } cases[] = {{1, 0, BI_RGB, 2}, {2, 0, BI_RGB, 4}, {4, 0, BI_RGB, 16}, {8, 0, BI_RGB, 256}, {8, 17, BI_RGB, 17},
                 {16, 0, BI_RGB, 0}, {24, 5, BI_RGB, 0}, {32, 0, BI_BITFIELDS, 3}, {16, 0, BI_BITFIELDS, 3}};
    for (const Case& c : cases) {
        CDib dib;
        ASSERT_TRUE(dib.Create(kInfoHeaderSize, 3, 2, c.bits, c.requested, c.compression)) << c.bits;
        EXPECT_EQ(dib.Header()->biClrUsed, c.entries) << c.bits;
        EXPECT_EQ(dib.Header()->biClrImportant, c.entries) << c.bits;
        EXPECT_EQ(dib.HeaderBlockSize(), 40 + 4 * c.entries) << c.bits;
    }
}

TEST(DibHeaderTest, BitFieldsCarryTheirImageSize)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(kInfoHeaderSize, 3, -4, 16, 0, BI_BITFIELDS));
    EXPECT_EQ(dib.Header()->biSizeImage, 8u * 4);
    EXPECT_EQ(dib.ImageSize(), 32u);
    EXPECT_EQ(dib.Height(), 4);
}

TEST(DibHeaderTest, GreyPaletteHasOpaqueReservedBytes)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(kInfoHeaderSize, 2, 2, 8, 256));
    const RGBQUAD* table = dib.ColorTable();
    ASSERT_NE(table, nullptr);
    for (int k : {0, 1, 128, 255}) {
        EXPECT_EQ(table[k].rgbBlue, k);
        EXPECT_EQ(table[k].rgbGreen, k);
        EXPECT_EQ(table[k].rgbRed, k);
        EXPECT_EQ(table[k].rgbReserved, 0xFF);
    }
}

TEST(DibHeaderTest, ShortPaletteIsLeftZero)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(kInfoHeaderSize, 2, 2, 8, 16));
    const RGBQUAD* table = dib.ColorTable();
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(table[k].rgbReserved | table[k].rgbRed, 0);
}

TEST(DibHeaderTest, V5WithoutProfileIsSrgb)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(kV5HeaderSize, 4, 4, 32));
    const BITMAPV5HEADER* v5 = dib.HeaderV5();
    ASSERT_NE(v5, nullptr);
    EXPECT_EQ(v5->bV5Size, 124u);
    EXPECT_EQ(v5->bV5CSType, LCS_sRGB);
    EXPECT_EQ(v5->bV5ProfileData, 0u);
    EXPECT_EQ(dib.Profile(), nullptr);
    EXPECT_EQ(dib.HeaderBlockSize(), 124u);
}

TEST(DibHeaderTest, V5ProfileStartsAfterTheColourTable)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(kV5HeaderSize, 4, 4, 8, 256, BI_RGB, 100));
    const BITMAPV5HEADER* v5 = dib.HeaderV5();
    EXPECT_EQ(v5->bV5CSType, PROFILE_EMBEDDED);
    EXPECT_EQ(v5->bV5ProfileData, 124u + 4 * 256);
    EXPECT_EQ(v5->bV5ProfileSize, 100u);
    EXPECT_EQ(dib.HeaderBlockSize(), 124u + 1024 + 100);
    EXPECT_EQ(dib.Profile(), reinterpret_cast<const uint8_t*>(dib.ColorTable()) + 1024);
    EXPECT_EQ(dib.ProfileSize(), 100u);
    // The grey palette is still written, the profile bytes stay zero.
    EXPECT_EQ(dib.ColorTable()[255].rgbReserved, 0xFF);
    EXPECT_EQ(dib.Profile()[99], 0);
}

TEST(DibHeaderTest, InfoHeaderIgnoresAProfileSize)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(kInfoHeaderSize, 4, 4, 24, 0, BI_RGB, 100));
    EXPECT_EQ(dib.HeaderBlockSize(), 40u);
    EXPECT_EQ(dib.Profile(), nullptr);
}

TEST(DibHeaderTest, RefusesWhatMakesNoBitmap)
{
    CDib dib;
    EXPECT_FALSE(dib.Create(64, 4, 4, 24));
    EXPECT_FALSE(dib.Create(kInfoHeaderSize, 0, 4, 24));
    EXPECT_FALSE(dib.Create(kInfoHeaderSize, 4, 0, 24));
    EXPECT_FALSE(dib.Create(kInfoHeaderSize, 4, 4, 12));
    EXPECT_FALSE(dib.Create(kInfoHeaderSize, 4, 4, 24, 0, BI_BITFIELDS));
    EXPECT_FALSE(dib.Create(kInfoHeaderSize, 4, 4, 4, 17));
    EXPECT_FALSE(dib.Create(kInfoHeaderSize, 70000, 70000, 32)) << "image size beyond 32 bits";
    EXPECT_EQ(dib.Header(), nullptr);
    EXPECT_FALSE(dib.AllocateBits()) << "no bits without a header";
    EXPECT_EQ(dib.ImageSize(), 0u);
    EXPECT_EQ(dib.HeaderBlockSize(), 0u);
}

TEST(PackedDibTest, RefusesBitFields)
{
    CPackedDib dib;
    EXPECT_FALSE(dib.Create(kInfoHeaderSize, 4, 4, 32, 0, BI_BITFIELDS));
    EXPECT_EQ(dib.Header(), nullptr);
    EXPECT_TRUE(dib.Memory().IsNull());
}

TEST(PackedDibTest, PixelsFollowTheHeaderBlockInOneBlock)
{
    CPackedDib dib;
    ASSERT_TRUE(dib.Create(kV5HeaderSize, 3, 2, 8, 256, BI_RGB, 20));
    ASSERT_TRUE(dib.AllocateBits());
    const size_t headerBlock = 124 + 1024 + 20;
    EXPECT_EQ(dib.HeaderBlockSize(), headerBlock);
    EXPECT_EQ(dib.Bits(), dib.Data() + headerBlock);
    EXPECT_EQ(dib.Size(), headerBlock + 4 * 2);
    EXPECT_EQ(dib.Memory().LockCount(), 1);
    EXPECT_EQ(dib.ColorTable()[0].rgbReserved, 0xFF);
    dib.FreeHeader();
    EXPECT_EQ(dib.Bits(), nullptr);
    EXPECT_TRUE(dib.Memory().IsNull());
}

TEST(DibSectionTest, HoldsALargeCaptureInOneAllocation)
{
    CDibSectionPtr dib = CDibSection::New(12000, 9000);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->Stride(), 36000u);
    EXPECT_EQ(dib->ImageSize(), 324000000u);
    EXPECT_EQ(dib->Header()->biHeight, 9000) << "bottom-up";
    EXPECT_EQ(dib->RowFromTop(0), dib->Bits() + size_t(8999) * 36000);
    dib->RowFromTop(0)[0] = 1;
    EXPECT_EQ(dib->Bits()[size_t(8999) * 36000], 1);
    EXPECT_EQ(dib->Bits()[5], 0) << "a section starts zero-filled";
}

TEST(DibSectionTest, CopiesCairoRowsUpsideDown)
{
    // 3 x 2, top-down xRGB words; the stride has a spare word.
    const uint32_t argb[] = {0xFF010203, 0xFF040506, 0xFF070809, 0, 0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112, 0};
    CDibSectionPtr dib = CDibSection::New(3, 2);
    ASSERT_TRUE(dib->CopyFromArgb32(reinterpret_cast<const uint8_t*>(argb), 16));
    const uint8_t top[] = {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07};
    const uint8_t bottom[] = {0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10};
    EXPECT_EQ(std::memcmp(dib->Bits() + 12, top, 9), 0);
    EXPECT_EQ(std::memcmp(dib->Bits(), bottom, 9), 0);
    EXPECT_EQ(dib->Bits()[9], 0) << "padding stays zero";
    EXPECT_FALSE(dib->CopyFromArgb32(reinterpret_cast<const uint8_t*>(argb), 8)) << "stride too short";
}

TEST(GlobalMemoryTest, LockerUnlocksAndDetachGivesTheBlockAway)
{
    CGlobalMemory memory(10);
    ASSERT_FALSE(memory.IsNull());
    {
        CGlobalLocker locker(memory);
        ASSERT_NE(locker.Data(), nullptr);
        std::memset(locker.Data(), 7, 10);
        EXPECT_EQ(memory.LockCount(), 1);
    }
    EXPECT_EQ(memory.LockCount(), 0);
    GBytes* bytes = memory.Detach();
    EXPECT_TRUE(memory.IsNull());
    gsize size = 0;
    const auto* data = static_cast<const uint8_t*>(g_bytes_get_data(bytes, &size));
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(data[9], 7);
    g_bytes_unref(bytes);

    CGlobalMemory empty;
    CGlobalLocker none(empty);
    EXPECT_EQ(none.Data(), nullptr);
    EXPECT_EQ(empty.LockCount(), 0);
}

}  // namespace
