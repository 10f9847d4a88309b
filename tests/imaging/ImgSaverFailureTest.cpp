#include "ImagingTestUtil.h"
#include "errors/Exception.h"
#include "errors/StringTable.h"
#include "imaging/ImgSaver.h"

#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class ImgSaverFailureTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetLanguage(UiLanguage::Japanese);
        img = MakeImgFromDib(MakeCapture(3, 2, [](int x, int y) { return uint32_t(x * 50 + y); }));
    }
    // The error record of a save that must fail.
    CSimpleErr SaveFails(const CImg& image, const std::string& path, wic::CImgSaver& saver)
    {
        try {
            saver.Save(image, path);
        } catch (const my::CException& e) {
            return e.Err();
        }
        ADD_FAILURE() << "saving " << path << " succeeded";
        return {};
    }
    CSimpleErr SaveFails(const std::string& path, ImgContainer container = ImgContainer::Png)
    {
        wic::CImgSaver saver;
        saver.container = container;
        return SaveFails(*img, path, saver);
    }

    CTempFolder folder;
    std::shared_ptr<CImg> img;
};

TEST_F(ImgSaverFailureTest, MissingFolderGives58986WithThePath)
{
    const std::string path = folder.File("missing/map.png");
    const CSimpleErr err = SaveFails(path);
    EXPECT_EQ(err.msgId, 58986u);
    EXPECT_EQ(err.text, "ファイルの作成に失敗しました - " + std::string(g_strerror(ENOENT)) + "\n\n" + path);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(ImgSaverFailureTest, FolderThatCannotBeWrittenGives58986)
{
    // Root writes anywhere an ordinary folder allows; /proc refuses even root.
    std::string path = "/proc/quorvane-test.png";
    if (geteuid() != 0) {
        const std::string locked = folder.File("locked");
        ASSERT_EQ(g_mkdir(locked.c_str(), 0555), 0);
        path = locked + "/map.png";
    }
    const CSimpleErr err = SaveFails(path);
    EXPECT_EQ(err.msgId, 58986u);
    EXPECT_NE(err.text.find(path), std::string::npos);
    EXPECT_FALSE(g_file_test(path.c_str(), G_FILE_TEST_EXISTS));
}

TEST_F(ImgSaverFailureTest, FolderAsTargetGives58986)
{
    const std::string path = folder.File("dir.png");
    ASSERT_EQ(g_mkdir(path.c_str(), 0755), 0);
    EXPECT_EQ(SaveFails(path).msgId, 58986u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"dir.png"});
}

TEST_F(ImgSaverFailureTest, ReadOnlyFileIsLeftAlone)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    const std::string path = folder.File("old.png");
    WriteWholeFile(path, "old");
    g_chmod(path.c_str(), 0444);
    EXPECT_EQ(SaveFails(path).msgId, 58986u);
    EXPECT_EQ(ReadWholeFile(path), "old");
}

TEST_F(ImgSaverFailureTest, FailureKeepsTheOldFileAndLeavesNoTemporary)
{
    // JPEG cannot hold 70000 pixels in a row: the encoder fails after the
    // temporary file exists.
    const std::string path = folder.File("map.jpg");
    WriteWholeFile(path, "previous contents");
    std::shared_ptr<CImg> wide = MakeImgFromDib(MakeCapture(70000, 1, [](int, int) { return 0u; }));
    const CSimpleErr err = SaveFails(*wide, path, *std::make_unique<wic::CImgSaver>());
    EXPECT_EQ(err.msgId, 59096u);
    EXPECT_NE(err.text.find("65500"), std::string::npos) << err.text;
    EXPECT_EQ(ReadWholeFile(path), "previous contents");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"map.jpg"});
}

TEST_F(ImgSaverFailureTest, SuccessReplacesTheOldFileWhole)
{
    const std::string path = folder.File("map.bmp");
    WriteWholeFile(path, "previous contents");
    g_chmod(path.c_str(), 0640);
    wic::CImgSaver saver;
    saver.container = ImgContainer::Bmp;
    saver.Save(*img, path);
    const std::string data = ReadWholeFile(path);
    EXPECT_EQ(data.size(), 14u + 40 + 2 * 12);
    EXPECT_EQ(data.substr(0, 2), "BM");
    GStatBuf st;
    ASSERT_EQ(g_stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"map.bmp"});
}

TEST_F(ImgSaverFailureTest, SaveThroughASymbolicLinkReplacesItsTarget)
{
    const std::string target = folder.File("real.png");
    const std::string link = folder.File("link.png");
    WriteWholeFile(target, "old");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    wic::CImgSaver saver;
    saver.container = ImgContainer::Png;
    saver.Save(*img, link);
    EXPECT_TRUE(g_file_test(link.c_str(), G_FILE_TEST_IS_SYMLINK));
    CDecoded decoded;
    EXPECT_TRUE(DecodeImageFile(target, decoded));
}

class StopNow : public CTerminable {
public:
    bool IsTerminated() const override { return true; }
};

TEST_F(ImgSaverFailureTest, CancelledWriterGives58725)
{
    const std::string path = folder.File("map.tif");
    WriteWholeFile(path, "old");
    StopNow stop;
    wic::CImgSaver saver;
    saver.container = ImgContainer::Tiff;
    saver.SetTerminable(&stop);
    const CSimpleErr err = SaveFails(*img, path, saver);
    EXPECT_EQ(err.msgId, 58725u);
    EXPECT_EQ(err.text, "処理が中断されました");
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"map.tif"});
}

TEST_F(ImgSaverFailureTest, LayoutsAnEncoderCannotTakeGive59099)
{
    wic::CImgSaver other;
    other.targetFormat = ImgFormat::MONO8;
    EXPECT_EQ(SaveFails(*img, folder.File("a.png"), other).msgId, 59099u) << "no conversion is made";

    CDibSectionPtr bgra = CDibSection::New(2, 2, 32);
    std::shared_ptr<CImg> alpha = MakeImgFromDib(bgra);
    wic::CImgSaver jpeg;
    const CSimpleErr err = SaveFails(*alpha, folder.File("a.jpg"), jpeg);
    EXPECT_EQ(err.msgId, 59099u);
    EXPECT_EQ(err.text, "WIC サポートされていない画像フォーマットが指定されました");
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
