#include "errors/StringTable.h"
#include "imaging/SaveFileTypes.h"

#include "ParamName.h"

#include <gtest/gtest.h>

namespace {

struct CompletionCase {
    const char* typed;
    int filterIndex;
    const char* completed;
};

class CompleteExtensionTest : public testing::TestWithParam<CompletionCase> {};

TEST_P(CompleteExtensionTest, AppendsOnlyToNamesWithoutADot)
{
    const CompletionCase c = GetParam();
    EXPECT_EQ(CompleteExtension(c.typed, c.filterIndex), c.completed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompleteExtensionTest,
    testing::Values(CompletionCase{"/home/u/map", 2, "/home/u/map.png"},
                    CompletionCase{"/home/u/map.jpg", 2, "/home/u/map.jpg"},
                    CompletionCase{"/v1.2/map", 2, "/v1.2/map.png"},
                    CompletionCase{"/v1.2/map", 1, "/v1.2/map.jpg"},
                    CompletionCase{"/v1.2/map", 3, "/v1.2/map.tif"},
                    CompletionCase{"/v1.2/map", 4, "/v1.2/map.bmp"},
                    CompletionCase{"map", 1, "map.jpg"},
                    CompletionCase{"/home/u/.hidden", 2, "/home/u/.hidden"},
                    CompletionCase{"/home/u/map.", 3, "/home/u/map."},
                    CompletionCase{"/home/u/map", 0, "/home/u/map"},
                    CompletionCase{"/home/u/map", 5, "/home/u/map"}),
                    [](const testing::TestParamInfo<CompletionCase>& info) {
                        return testname::FromText(info.param.typed) + "_Type" + std::to_string(info.param.filterIndex);
                    });

TEST(SaveFileTypesTest, FourTypesInOrder)
{
    SetLanguage(UiLanguage::Japanese);
    const auto& types = SaveFileTypes();
    ASSERT_EQ(types.size(), 4u);
    EXPECT_EQ(FilterDisplayText(types[0]), "JPEG ファイル (*.jpg;*.jpeg;*.jpe;*.jfif)");
    EXPECT_EQ(FilterDisplayText(types[1]), "PNG ファイル (*.png)");
    EXPECT_EQ(FilterDisplayText(types[2]), "TIFF ファイル (*.tif;*.tiff)");
    EXPECT_EQ(FilterDisplayText(types[3]), "BMP ファイル (*.bmp;*.dib)");
}

TEST(SaveFileTypesTest, TheTypeDecidesTheContainer)
{
    EXPECT_EQ(ContainerForFilter(1), ImgContainer::Jpeg);
    EXPECT_EQ(ContainerForFilter(2), ImgContainer::Png);
    EXPECT_EQ(ContainerForFilter(3), ImgContainer::Tiff);
    EXPECT_EQ(ContainerForFilter(4), ImgContainer::Bmp);
    EXPECT_EQ(ContainerForFilter(0), ImgContainer::Jpeg);
    EXPECT_EQ(ContainerForFilter(9), ImgContainer::Jpeg);
}

}  // namespace
