// The Save command with the real GTK save dialog, driven as a person would:
// the folder is picked, the name typed into the name field, a type chosen
// from the type list and the Save button clicked.
#include "ImagingTestUtil.h"
#include "errors/Exception.h"
#include "controls/MessageBoxMsg.h"
#include "shell/CommandSave.h"

#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm.h>

#include <cstring>
#include <functional>

namespace {

// 5 x 3: width x 3 is not a multiple of 4.
uint32_t Colour(int x, int y) { return uint32_t(x * 40) << 16 | uint32_t(y * 90) << 8 | uint32_t(200 - x * 10); }

void CollectWidgets(GtkWidget* widget, std::vector<GtkWidget*>& out)
{
    out.push_back(widget);
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* l = children; l; l = l->next)
            CollectWidgets(GTK_WIDGET(l->data), out);
        g_list_free(children);
    }
}

template <class Pred>
GtkWidget* FindWidget(GtkWidget* root, Pred pred)
{
    std::vector<GtkWidget*> all;
    CollectWidgets(root, all);
    for (GtkWidget* w : all)
        if (pred(w))
            return w;
    return nullptr;
}

GtkFileChooserDialog* FindSaveDialog()
{
    GList* windows = gtk_window_list_toplevels();
    GtkFileChooserDialog* found = nullptr;
    for (GList* l = windows; l; l = l->next)
        if (GTK_IS_FILE_CHOOSER_DIALOG(l->data) && gtk_widget_get_mapped(GTK_WIDGET(l->data)))
            found = GTK_FILE_CHOOSER_DIALOG(l->data);
    g_list_free(windows);
    return found;
}

// Drives the next save dialog that appears, step by step on the main loop.
class CDialogDriver {
public:
    std::string folder, name;
    int typeIndex = -1;  // 0-based row of the type list; -1 leaves the preselected type
    bool cancel = false;

    // Runs when the dialog has appeared.
    std::function<void(GtkFileChooser*)> onShown;

    // What the dialog offered when it appeared.
    std::vector<std::string> typeNames;
    std::string initialName, initialType;
    bool shown = false;

    void Arm()
    {
        m_step = 0;
        m_tick = Glib::signal_timeout().connect([this] { return Tick(); }, 100);
    }
    void Disarm() { m_tick.disconnect(); }

private:
    bool Tick()
    {
        GtkFileChooserDialog* dialog = FindSaveDialog();
        if (!dialog)
            return true;
        GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
        switch (m_step++) {
        case 0: {
            shown = true;
            initialName = Str(gtk_file_chooser_get_current_name(chooser));
            if (GtkFileFilter* f = gtk_file_chooser_get_filter(chooser))
                initialType = gtk_file_filter_get_name(f);
            GSList* filters = gtk_file_chooser_list_filters(chooser);
            for (GSList* l = filters; l; l = l->next)
                typeNames.push_back(gtk_file_filter_get_name(GTK_FILE_FILTER(l->data)));
            g_slist_free(filters);
            if (onShown)
                onShown(chooser);
            if (cancel) {
                gtk_button_clicked(GTK_BUTTON(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL)));
                return false;
            }
            gtk_file_chooser_set_current_folder(chooser, folder.c_str());
            return true;
        }
        case 1: {
            // The name field: typed into, character by character.
            GtkWidget* entry = FindWidget(GTK_WIDGET(dialog), [](GtkWidget* w) {
                return GTK_IS_ENTRY(w) && g_str_equal(G_OBJECT_TYPE_NAME(w), "GtkFileChooserEntry");
            });
            EXPECT_NE(entry, nullptr);
            gtk_widget_grab_focus(entry);
            gtk_editable_delete_text(GTK_EDITABLE(entry), 0, -1);
            gint position = 0;
            for (char c : name)
                gtk_editable_insert_text(GTK_EDITABLE(entry), &c, 1, &position);
            if (typeIndex >= 0) {
                // The type list is the combo box that lists the four types.
                GtkWidget* combo = FindWidget(GTK_WIDGET(dialog), [](GtkWidget* w) {
                    if (!GTK_IS_COMBO_BOX(w))
                        return false;
                    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(w));
                    return model && gtk_tree_model_iter_n_children(model, nullptr) == 4;
                });
                EXPECT_NE(combo, nullptr);
                if (combo)
                    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), typeIndex);
            }
            return true;
        }
        default:
            if (m_step > 100) {
                // Ten seconds and the dialog is still up: cancelled, so that
                // the test fails at once instead of waiting for its time-out.
                ADD_FAILURE() << "the save dialog was still open after 10 s; cancelled";
                gtk_button_clicked(
                    GTK_BUTTON(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL)));
                return false;
            }
            // The chooser drops a click that comes while it is still loading
            // the folder just picked, as a person would see nothing happen and
            // click again after a moment.
            if ((m_step - 3) % 10 == 0)
                gtk_button_clicked(
                    GTK_BUTTON(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT)));
            return true;
        }
    }

    static std::string Str(gchar* text)
    {
        std::string s = text ? text : "";
        g_free(text);
        return s;
    }

    int m_step = 0;
    sigc::connection m_tick;
};

class CommandSaveGuiTest : public testing::Test {
protected:
    void SetUp() override
    {
        CMessageBoxMsg::SetTestResponder([this](const std::string& text, const std::string& caption, unsigned type) {
            questions.push_back(text);
            captions.push_back(caption);
            const int answer = answers.empty() ? IDOK : answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return answer;
        });
        driver.folder = folder.Path();
    }
    void TearDown() override { CMessageBoxMsg::SetTestResponder(nullptr); }

    void RunSave(CCommandSave::CaptureFunction capture = nullptr)
    {
        if (!capture)
            capture = [] { return MakeCapture(5, 3, Colour); };
        CCommandSave command(TheMsg(), capture);
        driver.Arm();
        command.RunAndReport(true, false);
        driver.Disarm();
    }

    void ExpectImage(const std::string& path, const char* signature)
    {
        const std::string data = ReadWholeFile(path);
        ASSERT_FALSE(data.empty()) << path;
        EXPECT_EQ(data.compare(0, std::strlen(signature), signature), 0) << path;
        CDecoded decoded;
        ASSERT_TRUE(DecodeImageFile(path, decoded));
        ASSERT_EQ(decoded.width, 5);
        ASSERT_EQ(decoded.height, 3);
        if (std::string(signature) == "\xFF\xD8")
            return;  // lossy; the writer's own tests check its pixels
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(decoded.At(x, y), Colour(x, y)) << x << "," << y;
    }

    CTempFolder folder;
    CDialogDriver driver;
    std::vector<std::string> questions, captions;
    std::vector<int> answers;
};

TEST_F(CommandSaveGuiTest, DialogOffersTheFourTypesWithJpegChosen)
{
    // The toolkit opens in the working folder and may put its first entry
    // into the name field once listed; an empty folder shows what the
    // program itself puts there.
    gchar* previous = g_get_current_dir();
    ASSERT_EQ(g_chdir(folder.Path().c_str()), 0);
    driver.name = "shot";
    RunSave();
    g_chdir(previous);
    g_free(previous);
    ASSERT_TRUE(driver.shown);
    EXPECT_EQ(driver.typeNames,
              (std::vector<std::string>{"JPEG ファイル (*.jpg;*.jpeg;*.jpe;*.jfif)", "PNG ファイル (*.png)",
                                        "TIFF ファイル (*.tif;*.tiff)", "BMP ファイル (*.bmp;*.dib)"}));
    EXPECT_EQ(driver.initialType, driver.typeNames[0]);
    EXPECT_EQ(driver.initialName, "");
    ExpectImage(folder.File("shot.jpg"), "\xFF\xD8");
    EXPECT_TRUE(questions.empty());
}

TEST_F(CommandSaveGuiTest, TypesShowFilesWhateverTheCaseOfTheirExtension)
{
    std::vector<std::string> showing;
    driver.cancel = true;
    driver.onShown = [&](GtkFileChooser* chooser) {
        GSList* filters = gtk_file_chooser_list_filters(chooser);
        for (const char* file : {"MAP.JPG", "scan.Tiff", "plan.png", "note.txt"}) {
            GtkFileFilterInfo info{GTK_FILE_FILTER_DISPLAY_NAME, nullptr, nullptr, file, nullptr};
            for (GSList* l = filters; l; l = l->next)
                if (gtk_file_filter_filter(GTK_FILE_FILTER(l->data), &info))
                    showing.push_back(std::string(file) + " in " + gtk_file_filter_get_name(GTK_FILE_FILTER(l->data)));
        }
        g_slist_free(filters);
    };
    RunSave();
    EXPECT_EQ(showing, (std::vector<std::string>{"MAP.JPG in JPEG ファイル (*.jpg;*.jpeg;*.jpe;*.jfif)",
                                                 "scan.Tiff in TIFF ファイル (*.tif;*.tiff)",
                                                 "plan.png in PNG ファイル (*.png)"}));
}

TEST_F(CommandSaveGuiTest, NameWithoutExtensionGetsTheChosenTypes)
{
    const char* signatures[] = {"\xFF\xD8", "\x89PNG", "II*", "BM"};
    const char* extensions[] = {"jpg", "png", "tif", "bmp"};
    for (int type = 0; type < 4; ++type) {
        driver.name = "map";
        driver.typeIndex = type;
        RunSave();
        ExpectImage(folder.File(std::string("map.") + extensions[type]), signatures[type]);
    }
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"map.bmp", "map.jpg", "map.png", "map.tif"}));
}

TEST_F(CommandSaveGuiTest, TypedExtensionStaysAndTheTypeDecidesTheFormat)
{
    driver.name = "map.jpg";
    driver.typeIndex = 1;
    RunSave();
    ExpectImage(folder.File("map.jpg"), "\x89PNG");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"map.jpg"});
}

TEST_F(CommandSaveGuiTest, FolderWithADotStillGetsTheExtension)
{
    const std::string dotted = folder.File("v1.2");
    ASSERT_EQ(g_mkdir(dotted.c_str(), 0755), 0);
    driver.folder = dotted;
    driver.name = "map";
    driver.typeIndex = 1;
    RunSave();
    ExpectImage(dotted + "/map.png", "\x89PNG");
    g_unlink((dotted + "/map.png").c_str());
}

TEST_F(CommandSaveGuiTest, OverwriteIsConfirmedTwice)
{
    const std::string path = folder.File("map.png");
    WriteWholeFile(path, "old");
    driver.name = "map";
    driver.typeIndex = 1;
    RunSave();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0], "同名のファイルがあります。上書きしますか？\n\n" + path);
    EXPECT_EQ(questions[1], questions[0]);
    EXPECT_EQ(captions[0], "確認");
    ExpectImage(path, "\x89PNG");
}

TEST_F(CommandSaveGuiTest, DecliningEitherQuestionWritesNothing)
{
    const std::string path = folder.File("map.png");
    WriteWholeFile(path, "old");
    for (int declined = 0; declined < 2; ++declined) {
        questions.clear();
        answers = declined == 0 ? std::vector<int>{IDCANCEL} : std::vector<int>{IDOK, IDCANCEL};
        driver.name = "map";
        driver.typeIndex = 1;
        RunSave();
        EXPECT_EQ(questions.size(), size_t(declined + 1));
        EXPECT_EQ(ReadWholeFile(path), "old");
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"map.png"});
}

TEST_F(CommandSaveGuiTest, CancelWritesNothingAndSaysNothing)
{
    driver.cancel = true;
    RunSave();
    EXPECT_TRUE(driver.shown);
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_TRUE(questions.empty());
}

TEST_F(CommandSaveGuiTest, CaptureFailureEndsBeforeTheDialog)
{
    RunSave([]() -> std::shared_ptr<CDibSection> { throw my::CException(189); });
    EXPECT_FALSE(driver.shown);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "ブラウザーの幅、もしくは高さが0です");
    EXPECT_EQ(captions[0], "エラー");
}

}  // namespace
