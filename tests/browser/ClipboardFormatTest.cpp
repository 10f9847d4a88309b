#include "browser/ClipboardFormat.h"

#include "bitmap/Dib.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include "ParamName.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

namespace {

// A w x h bitmap whose pixel (x, y) from the top is (r = 40x, g = 30y, b = x+y).
std::unique_ptr<CDib> MakeDib(uint32_t headerSize, int32_t w, int32_t h, uint16_t bits)
{
    auto dib = std::make_unique<CDib>();
    if (!dib->Create(headerSize, w, h, bits) || !dib->AllocateBits())
        return nullptr;
    const int bytes = bits / 8;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = dib->RowFromTop(y) + x * bytes;
            p[0] = uint8_t(x + y);
            p[1] = uint8_t(30 * y);
            p[2] = uint8_t(40 * x);
            if (bytes == 4)
                p[3] = 0x80;
        }
    }
    return dib;
}

void ExpectPngPixels(const std::vector<uint8_t>& png, int32_t w, int32_t h)
{
    ASSERT_FALSE(png.empty());
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_mime_type("image/png", nullptr);
    ASSERT_TRUE(gdk_pixbuf_loader_write(loader, png.data(), png.size(), nullptr));
    ASSERT_TRUE(gdk_pixbuf_loader_close(loader, nullptr));
    GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    ASSERT_EQ(gdk_pixbuf_get_width(pixbuf), w);
    ASSERT_EQ(gdk_pixbuf_get_height(pixbuf), h);
    EXPECT_FALSE(gdk_pixbuf_get_has_alpha(pixbuf));
    const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const guchar* p = pixels + y * gdk_pixbuf_get_rowstride(pixbuf) + x * 3;
            EXPECT_EQ(p[0], uint8_t(40 * x));
            EXPECT_EQ(p[1], uint8_t(30 * y));
            EXPECT_EQ(p[2], uint8_t(x + y));
        }
    }
    g_object_unref(loader);
}

}  // namespace

TEST(ClipboardBitmap, OnlyFortyAnd124ByteHeadersWithPixels)
{
    EXPECT_TRUE(CanPutOnClipboard(*MakeDib(40, 2, 2, 24)));
    EXPECT_TRUE(CanPutOnClipboard(*MakeDib(124, 2, 2, 32)));
    auto odd = MakeDib(40, 2, 2, 24);
    odd->Header()->biSize = 108;
    EXPECT_FALSE(CanPutOnClipboard(*odd));
    EXPECT_TRUE(PackedDibFile(*odd).empty());
    CDib noBits;
    ASSERT_TRUE(noBits.Create(40, 2, 2, 24));
    EXPECT_FALSE(CanPutOnClipboard(noBits));
}

TEST(ClipboardBitmap, BmpIsTheFileHeaderAndThePackedDib)
{
    const auto dib = MakeDib(40, 5, 3, 24);  // 15 bytes a row, stride 16
    const std::vector<uint8_t> bmp = PackedDibFile(*dib);
    ASSERT_EQ(bmp.size(), 14u + 40 + 16 * 3);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    uint32_t fileSize = 0, offBits = 0;
    std::memcpy(&fileSize, bmp.data() + 2, 4);
    std::memcpy(&offBits, bmp.data() + 10, 4);
    EXPECT_EQ(fileSize, bmp.size());
    EXPECT_EQ(offBits, 54u);
    EXPECT_EQ(std::memcmp(bmp.data() + 14, dib->Header(), 40), 0);
    EXPECT_EQ(std::memcmp(bmp.data() + 54, dib->Bits(), 48), 0);
}

TEST(ClipboardBitmap, V5BmpPointsPastTheLargerHeader)
{
    const auto dib = MakeDib(124, 3, 2, 32);
    const std::vector<uint8_t> bmp = PackedDibFile(*dib);
    ASSERT_EQ(bmp.size(), 14u + 124 + 12 * 2);
    uint32_t offBits = 0;
    std::memcpy(&offBits, bmp.data() + 10, 4);
    EXPECT_EQ(offBits, 14u + 124);
}

TEST(ClipboardBitmap, PngCarriesThePixelsTopDown)
{
    ExpectPngPixels(EncodeDibPng(*MakeDib(40, 7, 5, 24)), 7, 5);
    ExpectPngPixels(EncodeDibPng(*MakeDib(124, 6, 4, 32)), 6, 4);
    ExpectPngPixels(EncodeDibPng(*MakeDib(40, 1, 1, 24)), 1, 1);
}

// Every paste, and the clipboard manager's store at exit, asks again; each
// type is made once per Copy and the same bytes are served after that.
TEST(ClipboardBitmap, EachTypeIsMadeOnceAndKept)
{
    std::shared_ptr<const CDib> dib = MakeDib(40, 7, 5, 24);
    CClipboardImage image(dib);
    const std::vector<uint8_t>& png = image.Bytes(kClipboardPngType);
    ExpectPngPixels(png, 7, 5);
    EXPECT_EQ(&image.Bytes(kClipboardPngType), &png);
    const std::vector<uint8_t>& bmp = image.Bytes(kClipboardBmpType);
    EXPECT_EQ(bmp, PackedDibFile(*dib));
    EXPECT_EQ(&image.Bytes(kClipboardBmpType), &bmp);
    EXPECT_TRUE(image.Bytes("text/plain").empty());
}

struct LineCase {
    const char* text;
    const char* expected;

    friend void PrintTo(const LineCase& c, std::ostream* os)
    {
        // Readable in a test name: control, quote and non-ASCII bytes as %XX.
        *os << "text ";
        for (const char* p = c.text; *p; ++p) {
            const auto byte = static_cast<unsigned char>(*p);
            if (byte > 0x20 && byte < 0x7F && byte != '"' && byte != '\\' && byte != '%')
                *os << *p;
            else
                *os << '%' << std::hex << static_cast<int>(byte) << std::dec;
        }
    }
};

class FirstLine : public testing::TestWithParam<LineCase> {};

TEST_P(FirstLine, CutAtTheFirstLineBreakAndTrimmed)
{
    EXPECT_EQ(FirstLineTrimmed(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FirstLine,
    testing::Values(LineCase{"https://a.test/", "https://a.test/"},
                    LineCase{"  https://a.test/x  \r\nsecond\r\n", "https://a.test/x"},
                    LineCase{"\thttps://a.test/y\nsecond", "https://a.test/y"},
                    LineCase{"https://a.test/z\r", "https://a.test/z"},
                    // An ideographic space is white space as well.
                    LineCase{"\xE3\x80\x80https://a.test/\xE5\x9C\xB0\xE5\x9B\xB3\xE3\x80\x80", "https://a.test/\xE5\x9C\xB0\xE5\x9B\xB3"},
                    LineCase{"a b c", "a b c"}, LineCase{"   \r\n  x", ""}, LineCase{"", ""},
                    LineCase{"\nsecond", ""}),
                    [](const testing::TestParamInfo<LineCase>& info) { return testname::FromText(info.param.text); });
