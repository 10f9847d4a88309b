#include "controls/IntConverter.h"
#include "controls/MillimetreConverter.h"

#include "common/NumberText.h"
#include "errors/Exception.h"

std::string CIntConverter::ToText(int value)
{
    return IntToText(value);
}

CSimpleErr CIntConverter::FromText(const std::string& text, int& value)
{
    const auto parsed = ParseIntText(text);
    if (!parsed)
        return MakeErr(58734, {text});
    value = *parsed;
    return {};
}

CSimpleErr CheckIntRange(int value, int minimum, int maximum, const std::string& text)
{
    if (value < minimum)
        return MakeErr(58735, {text});
    if (value > maximum)
        return MakeErr(58736, {text});
    return {};
}

std::string CMillimetreConverter::ToText(int hundredths)
{
    return HundredthsToMillimetreText(hundredths);
}

CSimpleErr CMillimetreConverter::FromText(const std::string& text, int& hundredths)
{
    const auto parsed = ParseMillimetreText(text);
    if (!parsed)
        return MakeErr(58734, {text});
    hundredths = *parsed;
    return {};
}
