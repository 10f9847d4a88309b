#pragma once
#include "errors/SimpleErr.h"

#include <string>

// Lengths held in hundredths of a millimetre, shown and typed as
// millimetres with one decimal ("10.0"). A text that is not a number gives
// message 58734 with the text.
class CMillimetreConverter {
public:
    using Value = int;

    static std::string ToText(int hundredths);
    static CSimpleErr FromText(const std::string& text, int& hundredths);
};
