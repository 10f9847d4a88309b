#pragma once
#include "common/Types.h"
#include "imaging/Img.h"

// The pixels of one image as the encoders pull them: whole rows straight
// from the image (no copy), or any rectangle copied into a caller's buffer.
class CImgSource {
public:
    enum class Status { Ok, InvalidArg, NoImage, NotImplemented };

    explicit CImgSource(const CImg* image) : m_image(image) {}

    int32_t Width() const { return m_image ? m_image->Width() : 0; }
    int32_t Height() const { return m_image ? m_image->Height() : 0; }
    Status GetPixelFormat(ImgFormat& format) const;
    void GetResolution(double& dpiX, double& dpiY) const;

    // Row y, RowBytes() long: the image's own memory.
    const uint8_t* Row(int32_t y) const { return m_image->Row(y); }
    size_t RowBytes() const { return m_image ? m_image->RowBytes() : 0; }
    const CImg* Image() const { return m_image; }

    // Copies `rect` (null: the whole image) row by row, `stride` bytes apart;
    // the buffer must hold row bytes + stride x (rows - 1).
    Status CopyPixels(const CRect* rect, size_t stride, size_t bufferSize, uint8_t* buffer) const;

private:
    const CImg* m_image;
};
