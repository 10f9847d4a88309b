#pragma once
#include "errors/SimpleErr.h"

#include <string>

// Integers as the controls show and read them: decimal text; the typed text
// must be an optional sign, digits, and optionally "." with more digits. The
// fraction is dropped and the value saturates at the 32-bit limits.
class CIntConverter {
public:
    using Value = int;

    static std::string ToText(int value);
    // A text that is not a number gives message 58734 with the text.
    static CSimpleErr FromText(const std::string& text, int& value);
};

// The range messages of the integer controls: 58735 below `minimum`, 58736
// above `maximum`, the insert being the typed text.
CSimpleErr CheckIntRange(int value, int minimum, int maximum, const std::string& text);
