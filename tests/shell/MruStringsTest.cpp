#include "settings/MruStrings.h"
#include "browser/ClipboardFormat.h"

#include "ParamName.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Urls(int from, int to)
{
    std::vector<std::string> urls;
    for (int i = to; i >= from; --i)
        urls.push_back("https://site" + std::to_string(i) + ".example/");
    return urls;
}

// A list after adding site`from` .. site`to` in that order.
CMruStrings Filled(int from, int to)
{
    CMruStrings mru;
    const auto urls = Urls(from, to);
    for (auto it = urls.rbegin(); it != urls.rend(); ++it)
        mru.Add(*it);
    return mru;
}

TEST(MruStringsTest, AddingAnExistingItemMovesItToTheHead)
{
    CMruStrings mru = Filled(1, 4);
    ASSERT_EQ(mru.Items()[2], "https://site2.example/");
    mru.Add("https://site2.example/");
    EXPECT_EQ(mru.Items(), (std::vector<std::string>{"https://site2.example/", "https://site4.example/",
                                                     "https://site3.example/", "https://site1.example/"}));
}

TEST(MruStringsTest, KeepsTheTwentyNewest)
{
    const CMruStrings mru = Filled(1, 21);
    EXPECT_EQ(mru.Capacity(), 20);
    EXPECT_EQ(mru.Items(), Urls(2, 21));
}

TEST(MruStringsTest, LetterCaseMakesADifferentItem)
{
    CMruStrings mru;
    mru.Add("https://example.com/Map");
    mru.Add("https://example.com/map");
    mru.Add("https://example.com/map");
    EXPECT_EQ(mru.Items(), (std::vector<std::string>{"https://example.com/map", "https://example.com/Map"}));
}

TEST(MruStringsTest, CopyCarriesItemsCapacityAndFlag)
{
    CMruStrings mru;
    EXPECT_TRUE(mru.Flag());
    mru.Add("a");
    mru.Add("b");
    mru.SetFlag(false);
    const CMruStrings copy = mru;
    EXPECT_EQ(copy, mru);
    EXPECT_FALSE(copy.Flag());
    EXPECT_EQ(copy.Items(), (std::vector<std::string>{"b", "a"}));
}

struct PrefillCase {
    const char* clipboard;
    const char* prefill;
};

class UrlPrefillTest : public testing::TestWithParam<PrefillCase> {};

TEST_P(UrlPrefillTest, FirstLineWithoutSurroundingSpace)
{
    EXPECT_EQ(FirstLineTrimmed(GetParam().clipboard), GetParam().prefill);
}

INSTANTIATE_TEST_SUITE_P(Texts, UrlPrefillTest,
                         testing::Values(PrefillCase{"  https://a.example/x\r\nsecond line", "https://a.example/x"},
                                         PrefillCase{"\thttps://b.example/ \nmore", "https://b.example/"},
                                         PrefillCase{"not a url at all", "not a url at all"},
                                         PrefillCase{"\r\nsecond", ""}, PrefillCase{"", ""},
                                         PrefillCase{"  \r\n", ""}),
                                         [](const testing::TestParamInfo<PrefillCase>& info) {
                                             return testname::FromText(info.param.clipboard);
                                         });

}  // namespace
