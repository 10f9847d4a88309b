#include "common/MulDiv.h"

#include "ParamName.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct MulDivCase {
    int32_t a, b, c, expected;
};

class MulDivTest : public testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, RoundsHalvesAwayFromZero)
{
    const MulDivCase& p = GetParam();
    EXPECT_EQ(MulDiv(p.a, p.b, p.c), p.expected) << p.a << " * " << p.b << " / " << p.c;
}

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

INSTANTIATE_TEST_SUITE_P(Cases, MulDivTest, testing::Values(
    MulDivCase{10, 9, 10, 9},
    MulDivCase{5, 1, 2, 3},      // 2.5 -> 3
    MulDivCase{-5, 1, 2, -3},    // -2.5 -> -3
    MulDivCase{5, -1, 2, -3},
    MulDivCase{-5, -1, 2, 3},
    MulDivCase{5, 1, -2, -3},
    MulDivCase{7, 1, 3, 2},      // 2.33 -> 2
    MulDivCase{-7, 1, 3, -2},
    MulDivCase{8, 1, 3, 3},      // 2.67 -> 3
    MulDivCase{21000, 600, 2540, 4961},  // A4 width at 600 dpi
    MulDivCase{0, 5, 3, 0},
    MulDivCase{1, 1, 0, -1},     // zero divisor
    MulDivCase{kMax, 2, 1, -1},  // overflow
    MulDivCase{kMin, 1, -1, -1}, // 2^31 does not fit
    MulDivCase{kMin, 1, 1, kMin},
    MulDivCase{kMax, kMax, kMax, kMax},  // the 64-bit product keeps it exact
    MulDivCase{100000, 100000, 3, -1},
    MulDivCase{100000, 100000, 100000, 100000}),
    [](const testing::TestParamInfo<MulDivCase>& info) {
        return testname::FromNumber(info.param.a) + "_Times_" + testname::FromNumber(info.param.b) + "_Over_" +
               testname::FromNumber(info.param.c);
    });

}  // namespace
