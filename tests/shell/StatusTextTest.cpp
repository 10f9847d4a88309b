#include "errors/StringTable.h"
#include "shell/StatusText.h"

#include <gtest/gtest.h>

namespace {

class StatusText : public testing::Test {
protected:
    void SetUp() override { SetLanguage(UiLanguage::Japanese); }
    CStatusText status;
};

TEST_F(StatusText, TheMostPressingThingWins)
{
    EXPECT_EQ(status.Text(), "準備完了");
    status.SetPageLoading(true);
    EXPECT_EQ(status.Text(), "ロード中...");
    status.SetPrintProgress(std::pair{3, 16});
    EXPECT_EQ(status.Text(), "印刷中: 3 / 16 ページ");
    status.SetCaptureWaiting(true);
    EXPECT_EQ(status.Text(), "地図の読み込みを待っています...");
    status.SetCaptureWaiting(false);
    status.SetPrintProgress(std::nullopt);
    EXPECT_EQ(status.Text(), "ロード中...");
}

TEST_F(StatusText, TheNoteOfACaptureTakenWhileLoadingLastsUntilThePageIsReady)
{
    status.SetPageLoading(true);
    status.SetCaptureWaiting(true);
    status.SetCaptureWaiting(false);
    status.SetCaptureNote();
    EXPECT_EQ(status.Text(), "ページの読み込みが終わらないうちにキャプチャしました");
    status.SetPageLoading(true);
    EXPECT_EQ(status.Text(), "ページの読み込みが終わらないうちにキャプチャしました");
    status.SetPageLoading(false);
    EXPECT_EQ(status.Text(), "準備完了");
}

TEST_F(StatusText, TheNoteOfACaptureTakenWhileAnimatingLastsUntilThePageDoesSomethingNew)
{
    status.SetPageLoading(true);
    status.SetCaptureWaiting(true);
    status.SetCaptureWaiting(false);
    status.SetCaptureNote(CStatusText::Note::StillAnimating);
    status.SetPageLoading(false);  // frames alone no longer count as loading
    EXPECT_EQ(status.Text(), "ページがアニメーションを続けている間にキャプチャしました");
    status.SetPageLoading(true);
    EXPECT_EQ(status.Text(), "ロード中...");
}

TEST_F(StatusText, EnglishTexts)
{
    SetLanguage(UiLanguage::English);
    status.SetPrintProgress(std::pair{3, 16});
    EXPECT_EQ(status.Text(), "Printing: page 3 of 16");
    status.SetCaptureWaiting(true);
    EXPECT_EQ(status.Text(), "Waiting for the map to finish loading...");
    SetLanguage(UiLanguage::Japanese);
}

}  // namespace

TEST_F(StatusText, AFailedNavigationIsNotReady)
{
    status.SetPageNotice("ナビゲートに失敗しました: https://127.0.0.1/ - サイトの証明書が信頼できません");
    EXPECT_EQ(status.Text(), "ナビゲートに失敗しました: https://127.0.0.1/ - サイトの証明書が信頼できません");
    status.SetPageLoading(true);
    EXPECT_EQ(status.Text(), "ロード中...");
    status.SetPageLoading(false);
    status.SetPageNotice({});
    EXPECT_EQ(status.Text(), "準備完了");
}
