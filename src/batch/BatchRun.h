#pragma once

struct CCommandLine;

// A --save or --print run: loads the page in a window that is never shown,
// captures the kept area and writes the image file or prints the poster.
// Returns the exit status; a failure is reported on standard error. The
// settings file is neither read for the browser size nor written.
int RunBatch(const CCommandLine& options);
