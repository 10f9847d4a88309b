#include "settings/SettingStore.h"

#include "errors/Exception.h"
#include "errors/StringTable.h"
#include "settings/RecordingMsg.h"
#include "settings/SettingExample.h"
#include "settings/SettingFormat.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>

namespace {

const std::string kUnreadableStart = "設定ファイルの読み込み中に以下のエラーが発生しました。\n";
const std::string kNewerStart = "新しいバージョン用の設定ファイルが存在します。\n";

class SettingStore : public testing::Test {
protected:
    void SetUp() override { SetLanguage(UiLanguage::Japanese); }

    CSettingLocation Location() const { return {folder / "Brackwater/Quorvane", "Quorvane32.config"}; }

    // Writes `text` as the settings file.
    std::string Put(const std::string& text)
    {
        g_mkdir_with_parents(Location().folder.c_str(), 0700);
        EXPECT_TRUE(CTempFolder::WriteFile(Location().Path(), text));
        return Location().Path();
    }

    static std::vector<std::string> Starts(const CRecordingMsg& msg)
    {
        std::vector<std::string> starts;
        for (const auto& shown : msg.shown) {
            starts.push_back(shown.text.rfind(kUnreadableStart, 0) == 0 ? "58708"
                             : shown.text.rfind(kNewerStart, 0) == 0     ? "58710"
                                                                          : shown.text);
            EXPECT_EQ(shown.type, MB_OKCANCEL | MB_ICONEXCLAMATION);
        }
        return starts;
    }

    CTempFolder folder;
};

TEST_F(SettingStore, FirstRunAsksNothingAndCreatesTheFileAtClose)
{
    CRecordingMsg msg;
    CSetting setting;
    EXPECT_TRUE(LoadSettings(setting, msg, Location().Path()));
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(setting, CSetting{});
    EXPECT_FALSE(g_file_test(Location().folder.c_str(), G_FILE_TEST_EXISTS));

    setting.width = 640;
    SaveSettings(setting, Location());
    CSetting read;
    EXPECT_TRUE(LoadSettings(read, msg, Location().Path()));
    EXPECT_TRUE(msg.shown.empty());
    EXPECT_EQ(read, setting);
}

TEST_F(SettingStore, ANewerVersionAsksWhetherToGoOn)
{
    const std::string path = Put(ExampleWith("<Version>1.0.0.0</Version>", "<Version>1.0.0.1</Version>"));
    CRecordingMsg ok({IDOK});
    CSetting setting;
    EXPECT_TRUE(LoadSettings(setting, ok, path));
    EXPECT_EQ(Starts(ok), std::vector<std::string>{"58710"});
    EXPECT_EQ(ok.shown.at(0).text,
              "新しいバージョン用の設定ファイルが存在します。\nこのまま続けると、設定の一部もしくは全てが失われ、\n"
              "古いバージョンの設定ファイルで上書きされます。\n\n続行しますか？");
    EXPECT_EQ(setting, ExampleSetting());

    CRecordingMsg cancel({IDCANCEL});
    EXPECT_FALSE(LoadSettings(setting, cancel, path));
}

TEST_F(SettingStore, AnUnreadableVersionIsNotAlsoNewer)
{
    const std::string path = Put(ExampleWith("<Version>1.0.0.0</Version>", "<Version>1.0.0.x</Version>"));
    CRecordingMsg msg({IDOK});
    CSetting setting;
    EXPECT_TRUE(LoadSettings(setting, msg, path));
    ASSERT_EQ(Starts(msg), std::vector<std::string>{"58708"});
    EXPECT_EQ(msg.shown[0].text, kUnreadableStart +
                                     "設定ファイルを手動で修正したい場合は、キャンセルしてください。\n"
                                     "続行すると、設定の一部もしくは全てが失われます。\n\n"
                                     "XMLドキュメントでバージョン情報の解析に失敗しました\n\n1.0.0.x\n\n続行しますか？");
    EXPECT_EQ(setting, CSetting{});
}

TEST_F(SettingStore, AFailedReadOfANewerFileAsksBothInOrder)
{
    std::string text = ExampleWith("<Version>1.0.0.0</Version>", "<Version>2.0</Version>");
    text.replace(text.find("<Height>768</Height>"), 20, "<Height>tall</Height>");
    const std::string path = Put(text);
    CSetting setting;

    CRecordingMsg both({IDOK, IDOK});
    EXPECT_TRUE(LoadSettings(setting, both, path));
    EXPECT_EQ(Starts(both), (std::vector<std::string>{"58708", "58710"}));

    CRecordingMsg cancelFirst({IDCANCEL});
    EXPECT_FALSE(LoadSettings(setting, cancelFirst, path));
    EXPECT_EQ(Starts(cancelFirst), std::vector<std::string>{"58708"});

    CRecordingMsg cancelSecond({IDOK, IDCANCEL});
    EXPECT_FALSE(LoadSettings(setting, cancelSecond, path));
    EXPECT_EQ(cancelSecond.shown.size(), 2u);
}

TEST_F(SettingStore, CancelLeavesTheFileAsItWas)
{
    const std::string original = "<?xml version=\"1.0\"?>\n<QuorvaneSetting><Version>1.0.0.0</Version>\n<Width>";
    const std::string path = Put(original);
    CRecordingMsg msg({IDCANCEL});
    CSetting setting;
    EXPECT_FALSE(LoadSettings(setting, msg, path));
    EXPECT_EQ(Starts(msg), std::vector<std::string>{"58708"});
    EXPECT_EQ(CTempFolder::ReadFile(path), original);
}

TEST_F(SettingStore, GoingOnAfterAFailedReadRewritesACompleteFile)
{
    std::string text = ExampleWith("<Width>1024</Width>", "<Width>800</Width>");
    text.replace(text.find("<Height>768</Height>"), 20, "<Height>7 68</Height>");
    text.replace(text.find("<Dpi>144</Dpi>"), 14, "<Dpi>300</Dpi>");
    const std::string path = Put(text);

    CRecordingMsg msg({IDOK});
    CSetting setting;
    ASSERT_TRUE(LoadSettings(setting, msg, path));
    EXPECT_EQ(setting.width, 800);
    EXPECT_EQ(setting.height, 768);
    EXPECT_EQ(setting.pageSetting.dpi, 144);

    SaveSettings(setting, Location());
    CRecordingMsg quiet;
    CSetting reread;
    EXPECT_TRUE(LoadSettings(reread, quiet, path));
    EXPECT_TRUE(quiet.shown.empty());
    EXPECT_EQ(reread, setting);
}

TEST_F(SettingStore, DivisorsAreRaisedToOne)
{
    std::string text = ExampleWith("<Dpi>144</Dpi>", "<Dpi>0</Dpi>");
    text.replace(text.find("<cx>1</cx><cy>1</cy>"), 20, "<cx>-3</cx><cy>0</cy>");
    CRecordingMsg msg;
    CSetting setting;
    EXPECT_TRUE(LoadSettings(setting, msg, Put(text)));
    EXPECT_EQ(setting.pageSetting.dpi, 1);
    EXPECT_EQ(setting.pageSetting.papers, (CSize{1, 1}));
}

TEST_F(SettingStore, TheOverlapIsBroughtIntoItsRange)
{
    for (const auto& [text, expected] : {std::pair{"99999", 3000}, std::pair{"-5", 0}, std::pair{"2999", 2999}}) {
        CRecordingMsg msg;
        CSetting setting;
        EXPECT_TRUE(LoadSettings(
            setting, msg,
            Put(ExampleWith("</Margin>", std::string("</Margin><Assembly><Overlap>") + text + "</Overlap></Assembly>"))));
        EXPECT_EQ(setting.pageSetting.assembly.overlap, expected) << text;
    }
}

TEST_F(SettingStore, AFolderThatCannotBeCreatedIsReported)
{
    ASSERT_TRUE(CTempFolder::WriteFile(folder / "Brackwater", "a file where the folder should be"));
    try {
        SaveSettings(CSetting{}, Location());
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.MsgId(), 58998u);
        EXPECT_EQ(e.Err().value, ENOTDIR);
        EXPECT_EQ(e.Err().text, std::string("フォルダーの作成に失敗しました - ") + g_strerror(ENOTDIR) + "\n\n" +
                                    Location().folder);
    }
}

// Makes every write past `bytes` fail (EFBIG) for the life of the object;
// this holds for root too, unlike file permissions.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    sighandler_t m_oldHandler;
};

size_t FileCount(const std::string& folder)
{
    size_t count = 0;
    if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
        while (g_dir_read_name(dir))
            ++count;
        g_dir_close(dir);
    }
    return count;
}

TEST_F(SettingStore, AWriteThatFailsLeavesThePreviousFile)
{
    const std::string path = Put(kExampleSettings);
    CSetting changed;
    changed.width = 1;
    {
        CFileSizeLimit limit(100);
        try {
            SaveSettings(changed, Location());
            FAIL() << "no exception";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.MsgId(), 59141u);
            EXPECT_EQ(e.Err().text.rfind("XMLドキュメントの保存に失敗しました - ", 0), 0u) << e.Err().text;
        }
    }
    EXPECT_EQ(CTempFolder::ReadFile(path), kExampleSettings);
    EXPECT_EQ(FileCount(Location().folder), 1u);  // no temporary file left behind

    changed.pageSetting.fitType = static_cast<PrintImageFitType>(7);
    EXPECT_THROW(SaveSettings(changed, Location()), my::CException);
    EXPECT_EQ(CTempFolder::ReadFile(path), kExampleSettings);
}

TEST_F(SettingStore, TheFileLivesInTheUsersConfigurationFolder)
{
    const CSettingLocation location = DefaultSettingLocation();
    gchar* folder = g_build_filename(g_get_user_config_dir(), "Brackwater", "Quorvane", nullptr);
    EXPECT_EQ(location.folder, folder);
    g_free(folder);
    EXPECT_EQ(location.fileName, "Quorvane32.config");
    EXPECT_EQ(location.Path(), location.folder + "/Quorvane32.config");
}

}  // namespace
