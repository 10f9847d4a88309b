#include "settings/SettingRange.h"

#include "settings/Setting.h"

#include <algorithm>

namespace {

void AtLeast(int32_t& value, int32_t minimum) { value = std::max(value, minimum); }

void NotNegative(CRect& rect)
{
    for (int32_t* side : {&rect.left, &rect.top, &rect.right, &rect.bottom})
        AtLeast(*side, 0);
}

// Screen coordinates, and a size no larger than a window can have.
CRect OnScreen(const CRect& rect)
{
    const auto clamp = [](int32_t v) { return std::clamp(v, -kMaxScreenCoordinate, kMaxScreenCoordinate); };
    CRect result{clamp(rect.left), clamp(rect.top), clamp(rect.right), clamp(rect.bottom)};
    if (result.IsEmpty())
        return {};
    result.right = std::min(result.right, result.left + kMaxScreenCoordinate);
    result.bottom = std::min(result.bottom, result.top + kMaxScreenCoordinate);
    return result;
}

void KeepRecentUrls(CMruStrings& urls)
{
    std::vector<std::string> kept;
    for (const std::string& url : urls.Items()) {
        if (static_cast<int32_t>(kept.size()) >= urls.Capacity())
            break;
        if (std::find(kept.begin(), kept.end(), url) == kept.end())
            kept.push_back(url);
    }
    urls.Items() = std::move(kept);
}

}  // namespace

void BringIntoRange(CSetting& setting)
{
    AtLeast(setting.scrollX, 0);
    AtLeast(setting.scrollY, 0);
    // A browser of at least one pixel, and no larger than the view can hold.
    setting.width = std::clamp(setting.width, 1, kMaxBrowserSide);
    setting.height = std::clamp(setting.height, 1, kMaxBrowserSide);
    NotNegative(setting.trim);
    KeepRecentUrls(setting.urls);

    CPageSetting& page = setting.pageSetting;
    page.assembly.overlap = kOverlapLimits.Clamp(page.assembly.overlap);
    page.papers.cx = kSheetLimits.Clamp(page.papers.cx);
    page.papers.cy = kSheetLimits.Clamp(page.papers.cy);
    page.dpi = kDpiLimits.Clamp(page.dpi);
    NotNegative(page.margin);

    CSimplePrintSetting& print = setting.printSetting;
    AtLeast(print.pageFrom, 1);
    AtLeast(print.pageTo, 1);
    AtLeast(print.copies, 1);

    CMainFrameSetting& frame = setting.mainFrame;
    frame.rect = OnScreen(frame.rect);
    for (CReBarBandSetting& band : frame.bands)
        band.cx = std::min<uint32_t>(band.cx, kMaxScreenCoordinate);
}
