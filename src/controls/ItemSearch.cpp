#include "controls/ItemSearch.h"

int FindStringExact(const std::vector<std::string>& items, int start, const std::string& text)
{
    const int count = static_cast<int>(items.size());
    if (start < 0)
        start = 0;
    for (int i = start; i < count; ++i) {
        if (items[i] == text)
            return i;
    }
    for (int i = 0; i < start && i < count; ++i) {
        if (items[i] == text)
            return i;
    }
    return -1;
}
