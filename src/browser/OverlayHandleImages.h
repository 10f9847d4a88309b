#pragma once
#include "browser/ImageWidget.h"

#include <array>
#include <string>

// The pictures of the four trim handles, compiled into the program as PNG
// images (resource ids 166 left, 167 top, 168 right, 169 bottom). They are
// shared by every overlay of the process; user-interface thread only.
namespace OverlayHandleImages {

inline constexpr int kImageIdLeft = 166;
inline constexpr int kImageIdTop = 167;
inline constexpr int kImageIdRight = 168;
inline constexpr int kImageIdBottom = 169;

// Resource id of the picture of handle `index` (EOverlayHandle).
int ImageIdOf(int index);
// Size the picture of handle `index` is drawn at: 95 x 14 or 14 x 95.
CSize NominalSize(int index);

// Decodes a PNG resource ("images/handle-top.png") into a premultiplied ARGB
// image; null when it is missing or cannot be decoded.
CImagePtr LoadPngResource(const std::string& relativePath);
// The picture with the given resource id; null for unknown ids.
CImagePtr LoadImage(int imageId);

// The shared pictures, indexed by handle; loaded on first use.
const std::array<CImagePtr, 4>& Acquire();
// Drops the shared references; widgets keep theirs.
void Release();

}  // namespace OverlayHandleImages
