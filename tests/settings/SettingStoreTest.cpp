#include "settings/SettingStore.h"

#include "errors/Exception.h"
#include "errors/StringTable.h"
#include "settings/RecordingMsg.h"
#include "settings/SettingExample.h"
#include "settings/SettingFormat.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <glib/gstdio.h>
#include <sys/resource.h>
#include <unistd.h>

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

// A file edited by hand or damaged: every value is brought into the range the
// program can live with while it is loaded.
TEST_F(SettingStore, ValuesFromTheFileAreBroughtIntoRange)
{
    std::string text = ExampleWith("<Dpi>144</Dpi>", "<Dpi>0</Dpi>");
    const auto replace = [&](const std::string& from, const std::string& to) {
        ASSERT_NE(text.find(from), std::string::npos) << from;
        text.replace(text.find(from), from.size(), to);
    };
    replace("<cx>1</cx><cy>1</cy>", "<cx>-3</cx><cy>5000</cy>");
    replace("<Width>1024</Width>", "<Width>-2147483648</Width>");
    replace("<Height>768</Height>", "<Height>99999</Height>");
    replace("<ScrollX>0</ScrollX>", "<ScrollX>-2147483648</ScrollX>");
    replace("<Trim><left>0</left><top>0</top><right>0</right>", "<Trim><left>-20000</left><top>-1</top><right>7</right>");
    replace("<Margin><left>1000</left>", "<Margin><left>-2147483648</left>");
    replace("<PageFrom>1</PageFrom>", "<PageFrom>-5</PageFrom>");
    replace("<Copies>1</Copies>", "<Copies>0</Copies>");
    replace("<Rect><left>0</left><top>0</top><right>0</right><bottom>0</bottom></Rect>",
            "<Rect><left>-2147483648</left><top>10</top><right>2147483647</right><bottom>99999999</bottom></Rect>");
    replace("<Cx>000001F4</Cx>", "<Cx>FFFFFFFF</Cx>");
    std::string urls;
    for (int i = 0; i < 30; ++i)
        urls += "<Url>https://example.org/" + std::to_string(i % 25) + "</Url>";
    replace("<Urls><Url>https://example.org/map?x=1&amp;y=2</Url></Urls>", "<Urls>" + urls + "</Urls>");

    CRecordingMsg msg;
    CSetting setting;
    EXPECT_TRUE(LoadSettings(setting, msg, Put(text)));
    EXPECT_TRUE(msg.shown.empty());
    // Within the page setting limits the dialog and the command line use.
    EXPECT_EQ(setting.pageSetting.dpi, 10);
    EXPECT_EQ(setting.pageSetting.papers, (CSize{1, 1000}));
    EXPECT_EQ(setting.width, 1);
    EXPECT_EQ(setting.height, 32767) << "the largest browser the view can hold";
    EXPECT_EQ(setting.scrollX, 0);
    EXPECT_EQ(setting.trim, (CRect{0, 0, 7, 0}));
    EXPECT_EQ(setting.pageSetting.margin, (CRect{0, 1000, 1000, 1000}));
    EXPECT_EQ(setting.printSetting.pageFrom, 1);
    EXPECT_EQ(setting.printSetting.copies, 1);
    EXPECT_EQ(setting.mainFrame.rect, (CRect{-32767, 10, 0, 32767}));
    EXPECT_EQ(setting.mainFrame.bands[0].cx, 32767u);
    EXPECT_EQ(setting.mainFrame.bands[1].cx, 0x190u);
    ASSERT_EQ(setting.urls.Items().size(), 20u);
    EXPECT_EQ(setting.urls.Items()[0], "https://example.org/0");
    EXPECT_EQ(setting.urls.Items()[19], "https://example.org/19");
}

TEST_F(SettingStore, AWindowRectangleLeftEmptyCountsAsNone)
{
    CRecordingMsg msg;
    CSetting setting;
    const std::string text = ExampleWith("<Rect><left>0</left><top>0</top><right>0</right><bottom>0</bottom></Rect>",
                                         "<Rect><left>40000</left><top>0</top><right>50000</right><bottom>10</bottom></Rect>");
    EXPECT_TRUE(LoadSettings(setting, msg, Put(text)));
    EXPECT_TRUE(setting.mainFrame.rect.IsNull());
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

TEST_F(SettingStore, ALinkAtThePathAndTheFilesPermissionsAreKept)
{
    const std::string real = folder / "kept/real.config";
    g_mkdir_with_parents((folder / "kept").c_str(), 0700);
    ASSERT_TRUE(CTempFolder::WriteFile(real, kExampleSettings));
    ASSERT_EQ(g_chmod(real.c_str(), 0640), 0);
    g_mkdir_with_parents(Location().folder.c_str(), 0700);
    ASSERT_EQ(symlink(real.c_str(), Location().Path().c_str()), 0);

    CSetting changed;
    changed.width = 1234;
    SaveSettings(changed, Location());
    EXPECT_TRUE(g_file_test(Location().Path().c_str(), G_FILE_TEST_IS_SYMLINK));
    EXPECT_NE(CTempFolder::ReadFile(real).find("<Width>1234</Width>"), std::string::npos);
    GStatBuf st{};
    ASSERT_EQ(g_stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SettingStore, AUrlThatXmlCannotCarryIsLeftOutAndEverythingElseIsWritten)
{
    CSetting setting;
    setting.width = 777;
    setting.url = "https://example.org/\x01start";
    setting.urls.Items() = {"https://example.org/a", "https://example.org/\x02" "b", "https://example.org/\xFF" "c",
                            "https://example.org/d"};
    const std::vector<std::string> leftOut = SaveSettings(setting, Location());
    EXPECT_EQ(leftOut, (std::vector<std::string>{"https://example.org/\x01start", "https://example.org/\x02" "b",
                                                 "https://example.org/\xFF" "c"}));
    CRecordingMsg quiet;
    CSetting reread;
    ASSERT_TRUE(LoadSettings(reread, quiet, Location().Path()));
    EXPECT_TRUE(quiet.shown.empty());
    EXPECT_EQ(reread.width, 777);
    EXPECT_EQ(reread.url, DefaultStartUrl());
    EXPECT_EQ(reread.urls.Items(), (std::vector<std::string>{"https://example.org/a", "https://example.org/d"}));
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
