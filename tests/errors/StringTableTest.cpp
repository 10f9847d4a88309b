#include "errors/StringTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

class LanguageFromEnvironmentTest : public testing::Test {
protected:
    void TearDown() override
    {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
            unsetenv(name);
    }
};

TEST_F(LanguageFromEnvironmentTest, JapaneseUnlessAnotherLanguageIsSet)
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        unsetenv(name);
    EXPECT_EQ(LanguageFromEnvironment(), UiLanguage::Japanese);
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(LanguageFromEnvironment(), UiLanguage::Japanese);
    setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_EQ(LanguageFromEnvironment(), UiLanguage::English);
    setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    EXPECT_EQ(LanguageFromEnvironment(), UiLanguage::Japanese) << "LC_MESSAGES comes before LANG";
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(LanguageFromEnvironment(), UiLanguage::English) << "LC_ALL comes first";
}

TEST(StringTable, BothLanguagesHoldTheSameEntry)
{
    SetLanguage(UiLanguage::Japanese);
    EXPECT_EQ(LoadString(57345), "準備完了");
    EXPECT_EQ(LoadString(165), "Quorvane: ") << "trailing space kept";
    EXPECT_EQ(CommandHelpText(171), "サイズバーの表示/非表示を切り替えます");
    EXPECT_EQ(CommandToolTip(171), "サイズバー表示");
    SetLanguage(UiLanguage::English);
    EXPECT_EQ(LoadString(57345), "Ready");
    SetLanguage(UiLanguage::Japanese);
}

}  // namespace

namespace {

std::vector<std::string> UiTextIds(UiLanguage language)
{
    SetLanguage(language);
    std::vector<std::string> ids;
    for (const auto& [id, text] : LoadUiTexts("ui/print.ui"))
        ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

TEST(StringTable, DialogTextsExistInBothLanguages)
{
    const std::vector<std::string> japanese = UiTextIds(UiLanguage::Japanese);
    EXPECT_EQ(japanese, UiTextIds(UiLanguage::English));
    EXPECT_EQ(japanese.size(), 12u);
    SetLanguage(UiLanguage::Japanese);
    EXPECT_TRUE(LoadUiTexts("ui/no-such.ui").empty());
}
