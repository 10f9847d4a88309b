#pragma once
#include "browser/LoadTracker.h"

class CQuorvaScrollView;

// How a capture's wait for the page ended.
enum class PageWait {
    Settled,         // finished for the quiet time (at once for a quiet page)
    StillAnimating,  // only animation frames went on, for a long while
    Escaped,       // the user pressed Escape: capture what is drawn
    LimitReached,  // the page was still loading at the limit
    Abandoned,     // the window is closing
};

// Waits until the page is finished by `rule`: its resource loads settled and
// its scripts done drawing. A page that
// is quiet already returns at once, without touching the display. Otherwise
// the main loop runs meanwhile (the window stays responsive) with the
// capture's waiting text, a busy cursor and no mouse input over the client
// area; Escape in any window of the program ends the wait. A limit of 0
// never waits and reports LimitReached for a page that is not quiet.
PageWait WaitForSettledPage(CQuorvaScrollView& view, const CSettleRule& rule);
