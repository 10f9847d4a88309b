#include "errors/ErrorRecord.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/RegexErr.h"
#include "errors/StringTable.h"

#include <boost/regex.hpp>
#include <glibmm/fileutils.h>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

class MessageFormatTest : public testing::Test {
protected:
    void SetUp() override { SetLanguage(UiLanguage::Japanese); }
};

TEST_F(MessageFormatTest, FillsInsertsInOrder)
{
    EXPECT_EQ(FormatMessageText(58998, {"Permission denied", "/tmp/x"}),
              "フォルダーの作成に失敗しました - Permission denied\n\n/tmp/x");
    EXPECT_EQ(FormatText("%s-%s", {"a"}, 100), "a-") << "a missing insert is empty";
    EXPECT_EQ(FormatText("100%% %s", {"x"}, 100), "100% x");
}

TEST_F(MessageFormatTest, TruncatesToTheEntryLengthPlus1024Characters)
{
    const std::string pattern = LoadString(58722);  // "標準エラーが発生しました: %s"
    const std::string longInsert(5000, 'x');
    const std::string text = FormatMessageText(58722, {longInsert});
    EXPECT_EQ(Utf8Length(text), Utf8Length(pattern) + 1024);
    EXPECT_EQ(text.rfind("標準エラーが発生しました: ", 0), 0u);
    // Truncation never splits a multi-byte character.
    const std::string cut = FormatText("%s", {"あいうえお"}, 3);
    EXPECT_EQ(cut, "あいう");
}

TEST_F(MessageFormatTest, MissingEntryRaises58743WithTheId)
{
    try {
        LoadString(4242);
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.MsgId(), 58743u);
        EXPECT_NE(e.Err().text.find("ID: 4242"), std::string::npos) << e.Err().text;
        EXPECT_EQ(e.Err().text.rfind("文字列リソースが見つかりません - ", 0), 0u);
    }
}

TEST_F(MessageFormatTest, ExceptionCarriesCodeAndSystemText)
{
    const my::CException e(58986, SysErr::FromErrno(ENOENT), {"/no/such/dir/a.png"});
    EXPECT_EQ(e.Err().value, ENOENT);
    EXPECT_EQ(e.Err().text, "ファイルの作成に失敗しました - No such file or directory\n\n/no/such/dir/a.png");
    const my::CCtrlException ctrl(e);
    EXPECT_EQ(ctrl.Err().text, e.Err().text);
    EXPECT_EQ(ctrl.Control(), nullptr);
}

TEST_F(MessageFormatTest, ErrorCodeTextIsTrimmedOrUnknownInHex)
{
    EXPECT_EQ(ErrorCodeText(EACCES), "Permission denied");
    EXPECT_EQ(ErrorCodeText(0x1234ABCD), "Unknown HRESULT: 1234abcd");
    EXPECT_EQ(ErrorCodeText(-2147467259), "Unknown HRESULT: 80004005");
    EXPECT_EQ(TrimText("  text\r\n"), "text");
}

TEST_F(MessageFormatTest, RegexErrorsMapToTheirMessages)
{
    EXPECT_EQ(RegexErrorMessageId(boost::regex_constants::error_paren), 59376u);
    EXPECT_EQ(RegexErrorMessageId(boost::regex_constants::error_stack), 59383u);
    EXPECT_EQ(RegexErrorMessageId(boost::regex_constants::error_bad_pattern), 59384u);
    EXPECT_EQ(RegexErrorMessageId(99), 59369u);
    try {
        boost::regex broken("(abc");
        FAIL() << "no exception";
    } catch (const boost::regex_error& e) {
        const CSimpleErr err = RegexErrorRecord(e);
        EXPECT_EQ(err.msgId, 59376u);
        EXPECT_EQ(err.text, "() の対応がとれていません");
    }
}

// Every place that shows a failure gets its record from the same mapping,
// the toolkit's Glib::Error (no std::exception) included.
TEST_F(MessageFormatTest, AnyExceptionMapsToOneErrorRecord)
{
    const auto recordOf = [](auto thrown) { return RunGuarded([&] { throw thrown; }); };
    EXPECT_FALSE(RunGuarded([] {}).Failed());
    EXPECT_EQ(recordOf(my::CException(189)).msgId, 189u);
    const CSimpleErr glib = recordOf(Glib::FileError(Glib::FileError::NO_SUCH_ENTITY, "gone"));
    EXPECT_EQ(glib.msgId, 58723u);
    EXPECT_EQ(glib.value, Glib::FileError::NO_SUCH_ENTITY);
    EXPECT_NE(glib.text.find("gone"), std::string::npos) << glib.text;
    EXPECT_EQ(recordOf(std::bad_alloc()).msgId, 58722u);
    EXPECT_EQ(recordOf(42).msgId, 58724u);
    int tag = 0;
    void* control = nullptr;
    const CSimpleErr ctrl = RunGuarded([&] { throw my::CCtrlException(MakeErr(189), reinterpret_cast<GtkWidget*>(&tag)); }, &control);
    EXPECT_EQ(ctrl.msgId, 189u);
    EXPECT_EQ(control, &tag);
    EXPECT_FALSE(ErrorRecordOf(nullptr).Failed());
}

}  // namespace
