#pragma once
#include <cstdint>

class CSetting;

// The largest screen coordinate, window size or band width there can be.
inline constexpr int32_t kMaxScreenCoordinate = 32767;

// The largest browser width or height the web view is given: beyond it the
// view can neither be drawn nor captured.
inline constexpr int32_t kMaxBrowserSide = 32767;

// Brings the values read from the settings file (by hand or from a damaged
// file) into the range the program can live with: trims, margins and scroll
// positions 0 or more; sheets, Dpi and the glue overlap within the page
// setting limits (kSheetLimits, kDpiLimits, kOverlapLimits); copies and page
// numbers 1 or more; the
// window rectangle and band widths within what a screen can hold (a window
// rectangle that is left empty counts as none stored); no more recent URLs
// than the list keeps, without repeats. Browser sizes stay as they are: the
// size bar takes any number, and the capture says when it cannot be done.
void BringIntoRange(CSetting& setting);
