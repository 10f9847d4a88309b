#include "imaging/ImgSource.h"

#include <cstring>

CImgSource::Status CImgSource::GetPixelFormat(ImgFormat& format) const
{
    if (!m_image)
        return Status::NoImage;
    if (ImgFormatBits(m_image->Type()) == 0)
        return Status::NotImplemented;
    format = m_image->Type();
    return Status::Ok;
}

void CImgSource::GetResolution(double& dpiX, double& dpiY) const
{
    dpiX = m_image ? m_image->dpiX : 0;
    dpiY = m_image ? m_image->dpiY : 0;
}

CImgSource::Status CImgSource::CopyPixels(const CRect* rect, size_t stride, size_t bufferSize, uint8_t* buffer) const
{
    if (!m_image)
        return Status::NoImage;
    const CRect all{0, 0, m_image->Width(), m_image->Height()};
    const CRect r = rect ? *rect : all;
    if (r.IsEmpty() || r.left < 0 || r.top < 0 || r.right > all.right || r.bottom > all.bottom || !buffer)
        return Status::InvalidArg;
    const int bits = m_image->Bits();
    const size_t rowBytes = (size_t(r.Width()) * bits + 7) / 8;
    if (stride < rowBytes || bufferSize < rowBytes + stride * size_t(r.Height() - 1))
        return Status::InvalidArg;
    // A 1-bit rectangle that does not start on a byte boundary would need a
    // bit shift; the images written here never ask for one.
    if ((size_t(r.left) * bits) % 8 != 0)
        return Status::NotImplemented;
    for (int32_t y = r.top; y < r.bottom; ++y)
        std::memcpy(buffer + stride * size_t(y - r.top), m_image->Row(y) + size_t(r.left) * bits / 8, rowBytes);
    return Status::Ok;
}
