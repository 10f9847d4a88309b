#pragma once

class CImgSource;

// Whether differencing each byte with the one a pixel to its left (PNG's SUB
// filter, TIFF's horizontal predictor) makes the image smaller at this zlib
// level. Flat map colours with sharp edges compress best as they are, shaded
// relief and photographs after differencing; a few bands of rows are
// compressed both ways to see which this image is.
bool DifferencingPays(const CImgSource& source, int zlibLevel);
