#include "common/MulDiv.h"

#include <limits>

int32_t MulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const uint64_t num = product < 0 ? -static_cast<uint64_t>(product) : product;
    const uint64_t den = c < 0 ? -static_cast<uint64_t>(static_cast<int64_t>(c)) : c;
    const uint64_t quotient = (num + den / 2) / den;
    if (!negative && quotient > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
        return -1;
    if (negative && quotient > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) + 1)
        return -1;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(quotient)) : static_cast<int32_t>(quotient);
}
