#include "ImagingTestUtil.h"
#include "errors/Exception.h"
#include "errors/StringTable.h"
#include "imaging/ImgSaver.h"

#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tiffio.h>
#include <unistd.h>

#include <filesystem>

namespace {

// Runs test `name` of this program again in a fresh process as the
// unprivileged user nobody (setpriv, from util-linux), in a folder of its
// own: root may write any file, so checks of file permissions mean nothing
// as root. The child's output when it did not pass.
std::string RunTestAsNobody(const std::string& name)
{
    CTempFolder home;
    const std::string exe = home.File("test-program");
    std::error_code error;
    // The build tree may be closed to other users; a copy is not.
    std::filesystem::copy_file("/proc/self/exe", exe, error);
    if (error)
        return "cannot copy the test program: " + error.message();
    for (const std::string& path : {home.Path(), exe})
        if (chown(path.c_str(), 65534, 65534) != 0 || g_chmod(path.c_str(), 0755) != 0)
            return "cannot hand " + path + " to nobody: " + g_strerror(errno);

    gchar** env = g_get_environ();
    for (const char* var : {"HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
        env = g_environ_setenv(env, var, home.Path().c_str(), TRUE);
    const std::string filter = "--gtest_filter=" + name;
    const char* argv[] = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", exe.c_str(),
                          filter.c_str(), nullptr};
    gchar* out = nullptr;
    gint status = 0;
    GError* spawnError = nullptr;
    const bool ran = g_spawn_sync(home.Path().c_str(), const_cast<char**>(argv), env,
                                  GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDERR_TO_DEV_NULL), nullptr, nullptr,
                                  &out, nullptr, &status, &spawnError);
    g_strfreev(env);
    std::string output = out ? out : "";
    g_free(out);
    if (!ran) {
        output = std::string("setpriv could not be run: ") + spawnError->message;
        g_error_free(spawnError);
        return output;
    }
    // The one test ran, as nobody, and passed: not skipped, not filtered away.
    const bool passed = g_spawn_check_wait_status(status, nullptr) &&
                        output.find("[  PASSED  ] 1 test.") != std::string::npos &&
                        output.find("[  SKIPPED ]") == std::string::npos;
    return passed ? std::string() : "as nobody:\n" + output;
}

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
    if (geteuid() == 0) {
        const std::string failure = RunTestAsNobody("ImgSaverFailureTest.ReadOnlyFileIsLeftAlone");
        EXPECT_TRUE(failure.empty()) << failure;
        return;
    }
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

// Targets that are not regular files are written in place: a device stays a
// device, and a FIFO's reader gets the whole file.
TEST_F(ImgSaverFailureTest, DevicesAndFifosAreWrittenInPlace)
{
    wic::CImgSaver saver;
    saver.container = ImgContainer::Bmp;
    const std::string fifo = folder.File("out.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The reader is open before the write, as a consumer of the output would be.
    const int reader = g_open(fifo.c_str(), O_RDONLY | O_NONBLOCK, 0);
    ASSERT_GE(reader, 0);
    saver.Save(*img, fifo);
    std::string data(200, '\0');
    const ssize_t got = read(reader, data.data(), data.size());
    close(reader);
    EXPECT_EQ(got, ssize_t(14 + 40 + 2 * 12)) << "the whole BMP through the FIFO";
    EXPECT_EQ(data.substr(0, 2), "BM");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.fifo"});

    // TIFF goes back in its file as it is written; through a FIFO it still
    // arrives whole, a file that reads back.
    wic::CImgSaver tiff;
    tiff.container = ImgContainer::Tiff;
    const int tiffReader = g_open(fifo.c_str(), O_RDONLY | O_NONBLOCK, 0);
    ASSERT_GE(tiffReader, 0);
    tiff.Save(*img, fifo);
    std::string bytes(1 << 16, '\0');
    const ssize_t length = read(tiffReader, bytes.data(), bytes.size());
    close(tiffReader);
    ASSERT_GT(length, 8);
    const std::string copy = folder.File("copy.tif");
    ASSERT_TRUE(g_file_set_contents(copy.c_str(), bytes.data(), length, nullptr));
    TIFF* tif = TIFFOpen(copy.c_str(), "r");
    ASSERT_TRUE(tif);
    uint32_t width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFClose(tif);
    g_remove(copy.c_str());
    EXPECT_EQ(width, uint32_t(img->Width()));
    EXPECT_EQ(height, uint32_t(img->Height()));

    // A FIFO nobody reads is an error, not a program that waits for ever.
    EXPECT_EQ(SaveFails(fifo).msgId, 58986u);

    if (geteuid() != 0)
        GTEST_SKIP() << "making device nodes needs root";
    const std::string null = folder.File("null"), full = folder.File("full");
    ASSERT_EQ(mknod(null.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
    ASSERT_EQ(mknod(full.c_str(), S_IFCHR | 0600, makedev(1, 7)), 0);
    saver.Save(*img, null);
    const CSimpleErr err = SaveFails(full);
    EXPECT_EQ(err.msgId, 59105u);
    EXPECT_EQ(err.value, ENOSPC) << err.text;
    GStatBuf st;
    for (const std::string& device : {null, full}) {
        ASSERT_EQ(g_stat(device.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << device << " was replaced";
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"full", "null", "out.fifo"}));
}
