#include "errors/Exception.h"
#include "controls/MessageBoxMsg.h"
#include "errors/StringTable.h"
#include "settings/RecordingMsg.h"
#include "batch/ExitStatus.h"
#include "shell/StartupGuard.h"

#include <gtest/gtest.h>
#include <gtkmm.h>

namespace {

TEST(StartupGuard, AResourceThatCannotBeReadIsShownAndEndsWithFailure)
{
    CRecordingMsg msg;
    const int result = RunReportingFailure(
        [] {
            Gtk::Builder::create_from_resource("/org/brackwater/Quorvane/ui/no-such-dialog.ui");
            return 1;
        },
        msg);
    EXPECT_EQ(result, kExitNoStart);
    ASSERT_EQ(msg.shown.size(), 1u);
    EXPECT_EQ(msg.shown[0].type, unsigned(MB_ICONERROR));
    EXPECT_NE(msg.shown[0].text.find("no-such-dialog.ui"), std::string::npos) << msg.shown[0].text;
}

TEST(StartupGuard, WithoutBoxesTheMessageGoesToStandardError)
{
    SetLanguage(UiLanguage::Japanese);
    CMessageBoxMsg msg;
    msg.SetBoxesAllowed(false);
    testing::internal::CaptureStderr();
    const int result = RunReportingFailure([]() -> int { throw my::CException(58721, {"window"}); }, msg);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, kExitNoStart);
    EXPECT_NE(printed.find("内部エラー"), std::string::npos) << printed;
    EXPECT_NE(printed.find("window"), std::string::npos) << printed;
}

}  // namespace
