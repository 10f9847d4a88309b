#pragma once
#include <string>
#include <vector>

// Exact, case-sensitive search of a combo box's items: from `start` (0 when
// negative) to the last item, then from the first item up to `start`. The
// index of the first item whose whole text equals `text`, or -1. The bound
// combo boxes answer every search this way, so a typed beginning never
// selects an item.
int FindStringExact(const std::vector<std::string>& items, int start, const std::string& text);
