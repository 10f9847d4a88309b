#include "browser/OverlayGeometry.h"

#include "browser/QuorvaScrollViewGeometry.h"
#include "common/Saturate.h"
#include "settings/Setting.h"

#include <algorithm>
#include <cstdint>

CRect IntersectRects(const CRect& a, const CRect& b)
{
    CRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
    if (r.IsEmpty())
        return CRect{};
    return r;
}

COverlayGeometry::COverlayGeometry(const CRect& clientRect, const CSetting& setting)
    : client(clientRect)
{
    // The edges of the browser as the view holds it, which is less than the
    // setting asks for beyond kMaxBrowserSide.
    const int64_t sx = setting.scrollX, sy = setting.scrollY;
    browser = CRect{Saturate32(-sx), Saturate32(-sy), Saturate32(BrowserSide(setting.width) - sx),
                    Saturate32(BrowserSide(setting.height) - sy)};
    insets.left = Saturate32(int64_t{browser.left} + setting.trim.left);
    insets.top = Saturate32(int64_t{browser.top} + setting.trim.top);
    insets.right = Saturate32(int64_t{client.Width()} - browser.right + setting.trim.right);
    insets.bottom = Saturate32(int64_t{client.Height()} - browser.bottom + setting.trim.bottom);
    visible = IntersectRects(client, browser);
}

CRect COverlayGeometry::Kept() const
{
    return CRect{Saturate32(int64_t{client.left} + insets.left), Saturate32(int64_t{client.top} + insets.top),
                 Saturate32(int64_t{client.right} - insets.right),
                 Saturate32(int64_t{client.bottom} - insets.bottom)};
}

std::array<CRect, 4> COverlayGeometry::Strips() const
{
    const CRect kept = Kept();
    const int32_t right = std::min(browser.right, client.right);
    const int32_t bottom = std::min(browser.bottom, client.bottom);
    return {
        CRect{client.left, kept.top, kept.left, kept.bottom},
        CRect{kept.right, kept.top, right, kept.bottom},
        CRect{client.left, client.top, right, kept.top},
        CRect{client.left, kept.bottom, right, bottom},
    };
}

CRect COverlayGeometry::HandleRect(int index, CSize image) const
{
    const int32_t w = image.cx, h = image.cy;
    const CRect kept = Kept();
    // Halves truncate towards zero, as C++ division does.
    const int32_t centreLeft = static_cast<int32_t>((int64_t{visible.left} + visible.right) / 2 - w / 2);
    const int32_t centreTop = static_cast<int32_t>((int64_t{visible.top} + visible.bottom) / 2 - h / 2);
    const bool narrow = visible.Width() < w, shallow = visible.Height() < h;
    const bool tooNarrow = visible.Width() < 2 * w, tooShallow = visible.Height() < 2 * h;

    CRect r;
    switch (index) {
    case kHandleTop:
        r.top = kept.top;
        r.bottom = tooShallow ? r.top : SaturatedSum(r.top, h);
        r.left = centreLeft;
        r.right = narrow ? r.left : SaturatedSum(r.left, w);
        break;
    case kHandleRight:
        r.right = kept.right;
        r.left = tooNarrow ? r.right : SaturatedSum(r.right, -w);
        r.top = centreTop;
        r.bottom = shallow ? r.top : SaturatedSum(r.top, h);
        break;
    case kHandleBottom:
        r.bottom = kept.bottom;
        r.top = tooShallow ? r.bottom : SaturatedSum(r.bottom, -h);
        r.left = centreLeft;
        r.right = narrow ? r.left : SaturatedSum(r.left, w);
        break;
    case kHandleLeft:
        r.left = kept.left;
        r.right = tooNarrow ? r.left : SaturatedSum(r.left, w);
        r.top = centreTop;
        r.bottom = shallow ? r.top : SaturatedSum(r.top, h);
        break;
    default: break;
    }
    return r;
}
