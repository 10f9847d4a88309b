#include "xml/XmlSerializer.h"

#include "errors/StringTable.h"
#include "settings/SettingNames.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

namespace {

using Node = CXmlSerializer::Node;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

std::string NotFound() { return g_strerror(ENOENT); }
// A missing element is said to be one, not a missing file.
const std::string kNoElement = "この名前の要素はありません";

class XmlSerializer : public testing::Test {
protected:
    void SetUp() override { SetLanguage(UiLanguage::Japanese); }

    // Loads `body` and selects its document element "R".
    Node LoadRoot(const std::string& body)
    {
        Node root = nullptr;
        EXPECT_TRUE(xml.LoadText(kDeclaration + body, "test.xml")) << xml.GetErr().text;
        EXPECT_TRUE(xml.SelectDocumentElement("R", root)) << xml.GetErr().text;
        return root;
    }

    Node NewRoot()
    {
        Node root = nullptr;
        EXPECT_TRUE(xml.CreateFromTemplate(kDeclaration + "<R>\n</R>\n"));
        EXPECT_TRUE(xml.SelectDocumentElement("R", root));
        return root;
    }

    std::string Saved()
    {
        std::string text;
        EXPECT_TRUE(xml.SaveText(text)) << xml.GetErr().text;
        return text;
    }

    CXmlSerializer xml;
};

TEST_F(XmlSerializer, LoadingAMissingFileCreatesNoDocument)
{
    CTempFolder folder;
    const std::string path = folder / "none.config";
    EXPECT_FALSE(xml.Load(path));
    EXPECT_EQ(xml.GetErr().msgId, 59147u);
    EXPECT_EQ(xml.GetErr().value, ENOENT);
    EXPECT_EQ(xml.GetErr().text, "XMLドキュメントの読み込みに失敗しました - " + NotFound() + "\n\n" + path);
    EXPECT_FALSE(xml.HasDocument());
}

TEST_F(XmlSerializer, ATextThatIsNotWellFormedFailsTheLoadItself)
{
    CTempFolder folder;
    const std::string path = folder / "broken.config";
    ASSERT_TRUE(CTempFolder::WriteFile(path, kDeclaration + "<R><Width>1</R>"));
    EXPECT_FALSE(xml.Load(path));
    EXPECT_EQ(xml.GetErr().msgId, 59147u);
    const std::string& text = xml.GetErr().text;
    EXPECT_EQ(text.rfind("XMLドキュメントの読み込みに失敗しました - line 2: Opening and ending tag mismatch", 0), 0u) << text;
    EXPECT_TRUE(text.ends_with("\n\n" + path)) << text;
    EXPECT_FALSE(xml.HasDocument());

    for (const std::string bad : {"", "no markup", "<R>", "<R></R><R></R>", "<R a=\"1\" a=\"2\"/>"}) {
        EXPECT_FALSE(xml.LoadText(bad, "x")) << bad;
        EXPECT_EQ(xml.GetErr().msgId, 59147u) << bad;
    }
}

TEST_F(XmlSerializer, TextThatCannotBeDecodedFailsQuietly)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(xml.LoadText("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><R>\x82</R>", "sjis.config"));
    EXPECT_FALSE(xml.LoadText("<R>\xFF</R>", "bad-utf8.config"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(xml.GetErr().msgId, 59147u);
    EXPECT_TRUE(xml.GetErr().text.ends_with("\n\nbad-utf8.config")) << xml.GetErr().text;
}

TEST_F(XmlSerializer, LoadsAFileWithAByteOrderMark)
{
    CTempFolder folder;
    const std::string path = folder / "bom.config";
    ASSERT_TRUE(CTempFolder::WriteFile(path, "\xEF\xBB\xBF" + kDeclaration + "<R><I>7</I></R>"));
    ASSERT_TRUE(xml.Load(path)) << xml.GetErr().text;
    Node root = nullptr;
    int32_t value = 0;
    ASSERT_TRUE(xml.SelectDocumentElement("R", root));
    EXPECT_TRUE(xml.ReadInt(root, "I", value));
    EXPECT_EQ(value, 7);
}

TEST_F(XmlSerializer, AnotherDocumentElementIsNotFound)
{
    Node root = nullptr;
    ASSERT_TRUE(xml.LoadText("<Other/>", "x"));
    EXPECT_FALSE(xml.SelectDocumentElement("R", root));
    EXPECT_EQ(xml.GetErr().msgId, 59155u);
    EXPECT_EQ(xml.GetErr().text, "XMLドキュメント指定のノードが見つかりません - " + kNoElement + "\n\nR");
}

TEST_F(XmlSerializer, AMissingChildIsReportedWithItsFullPath)
{
    Node root = LoadRoot("<R><Trim><left>1</left></Trim></R>");
    CRect rect;
    EXPECT_FALSE(xml.ReadRect(root, "Trim", rect));
    EXPECT_EQ(xml.GetErr().msgId, 59155u);
    EXPECT_EQ(xml.GetErr().text, "XMLドキュメント指定のノードが見つかりません - " + kNoElement + "\n\n#document/R/Trim -> top");
    EXPECT_EQ(rect.left, 1);  // read before the failure

    EXPECT_FALSE(xml.ReadRect(root, "Margin", rect));
    EXPECT_TRUE(xml.GetErr().text.ends_with("\n\n#document/R -> Margin"));
    EXPECT_EQ(CXmlSerializer::NodePath(nullptr), "(!null)");
}

// One malformed value: the element text, how it is read, and the message.
struct ParseCase {
    const char* label;
    const char* text;
    std::function<bool(CXmlSerializer&, Node)> read;
    uint32_t msgId;
    std::string message;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.label; }

class XmlSerializerParse : public XmlSerializer, public testing::WithParamInterface<ParseCase> {};

TEST_P(XmlSerializerParse, FailsWithItsMessage)
{
    const ParseCase& c = GetParam();
    Node root = LoadRoot(std::string("<R><V>") + c.text + "</V></R>");
    EXPECT_FALSE(c.read(xml, root));
    EXPECT_EQ(xml.GetErr().msgId, c.msgId);
    EXPECT_EQ(xml.GetErr().text, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Values, XmlSerializerParse,
    testing::Values(
        ParseCase{"Int", "12a", [](CXmlSerializer& x, Node n) { int32_t v; return x.ReadInt(n, "V", v); }, 59162,
                  "XMLドキュメントで数値 (int) の解析に失敗しました\n\n12a"},
        ParseCase{"Long", "1,000", [](CXmlSerializer& x, Node n) { int32_t v; return x.ReadLong(n, "V", v); }, 59163,
                  "XMLドキュメントで数値 (long) の解析に失敗しました\n\n1,000"},
        ParseCase{"Bool", "TRUE", [](CXmlSerializer& x, Node n) { bool v; return x.ReadBool(n, "V", v); }, 59150,
                  std::string("XMLドキュメント bool 値が不正です - ") + g_strerror(EINVAL)},
        ParseCase{"Dword", "12G4", [](CXmlSerializer& x, Node n) { uint32_t v; return x.ReadDword(n, "V", v); }, 59167,
                  "XMLドキュメントで数値 (DWORD) の解析に失敗しました\n\n12G4"},
        ParseCase{"Version", "1.2.3.256", [](CXmlSerializer& x, Node n) { return x.ReadVersion(n, "V"); }, 59170,
                  "XMLドキュメントでバージョン情報の解析に失敗しました\n\n1.2.3.256"},
        ParseCase{"FitType", "fit",
                  [](CXmlSerializer& x, Node n) {
                      PrintImageFitType v;
                      return x.ReadNamed(n, "V", v, FitTypeFromName);
                  },
                  59014, "PrintImageFitType として不明な名前 fit が指定されました"},
        ParseCase{"Flags", "COLLATE|",
                  [](CXmlSerializer& x, Node n) {
                      uint32_t v;
                      return x.ReadNamed(n, "V", v, PrintFlagsFromText);
                  },
                  59014, "PrintSettingFlags として不明な名前  が指定されました"}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.label; });

TEST_F(XmlSerializer, AFailedVersionLeavesTheSlot)
{
    Node root = LoadRoot("<R><V>2.1</V><W>9.9.9.9.9</W></R>");
    EXPECT_EQ(xml.Version(), kXmlVersion1000);
    EXPECT_TRUE(xml.ReadVersion(root, "V"));
    EXPECT_EQ(xml.Version(), 0x02010000u);
    EXPECT_FALSE(xml.ReadVersion(root, "W"));
    EXPECT_EQ(xml.Version(), 0x02010000u);
}

TEST_F(XmlSerializer, ValuesMayStandOnALineOfTheirOwnButStringsAreKept)
{
    Node root = LoadRoot("<R><I>\n  42\n</I><B> true </B><S> a b </S><C><![CDATA[x<y]]></C></R>");
    int32_t number = 0;
    bool flag = false;
    std::string text, cdata;
    EXPECT_TRUE(xml.ReadInt(root, "I", number));
    EXPECT_TRUE(xml.ReadBool(root, "B", flag));
    EXPECT_TRUE(xml.ReadString(root, "S", text));
    EXPECT_TRUE(xml.ReadString(root, "C", cdata));
    EXPECT_EQ(number, 42);
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, " a b ");
    EXPECT_EQ(cdata, "x<y");
}

TEST_F(XmlSerializer, WritesEveryTypeWithoutWhiteSpaceAndReadsItBack)
{
    Node root = NewRoot();
    ASSERT_TRUE(xml.WriteInt(root, "I", -5) && xml.WriteLong(root, "L", 2147483647) && xml.WriteBool(root, "B", true) &&
                xml.WriteDword(root, "D", 500) && xml.WriteString(root, "S", "a&b<c> 地図") &&
                xml.WriteVersion(root, "V", 0x01020304) && xml.WriteRect(root, "Rc", CRect{1, -2, 3, 4}) &&
                xml.WriteSize(root, "Sz", CSize{5, 6}) && xml.WriteStrings(root, "List", "Url", {"x", "y", "z"}, 2) &&
                xml.WriteString(root, "E", ""))
        << xml.GetErr().text;
    const std::string text = Saved();
    EXPECT_EQ(text, kDeclaration +
                        "<R><I>-5</I><L>2147483647</L><B>true</B><D>000001F4</D><S>a&amp;b&lt;c&gt; 地図</S>"
                        "<V>1.2.3.4</V><Rc><left>1</left><top>-2</top><right>3</right><bottom>4</bottom></Rc>"
                        "<Sz><cx>5</cx><cy>6</cy></Sz><List><Url>x</Url><Url>y</Url></List><E/></R>\n");

    root = LoadRoot(text.substr(kDeclaration.size()));
    int32_t i = 0, l = 0;
    bool b = false;
    uint32_t d = 0;
    std::string s, e = "old";
    CRect rc;
    CSize sz;
    std::vector<std::string> list{"stale"};
    ASSERT_TRUE(xml.ReadInt(root, "I", i) && xml.ReadLong(root, "L", l) && xml.ReadBool(root, "B", b) &&
                xml.ReadDword(root, "D", d) && xml.ReadString(root, "S", s) && xml.ReadVersion(root, "V") &&
                xml.ReadRect(root, "Rc", rc) && xml.ReadSize(root, "Sz", sz) && xml.ReadStrings(root, "List", "Url", list) &&
                xml.ReadString(root, "E", e))
        << xml.GetErr().text;
    EXPECT_EQ(i, -5);
    EXPECT_EQ(l, 2147483647);
    EXPECT_TRUE(b);
    EXPECT_EQ(d, 500u);
    EXPECT_EQ(s, "a&b<c> 地図");
    EXPECT_EQ(xml.Version(), 0x01020304u);
    EXPECT_EQ(rc, (CRect{1, -2, 3, 4}));
    EXPECT_EQ(sz, (CSize{5, 6}));
    EXPECT_EQ(list, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(e, "");
}

TEST_F(XmlSerializer, AnEmptyNameMeansTheCurrentElement)
{
    Node root = NewRoot();
    ASSERT_TRUE(xml.WriteRecord(root, "", [&](Node n) { return xml.WriteInt(n, "A", 1); }));
    EXPECT_EQ(Saved(), kDeclaration + "<R><A>1</A></R>\n");

    root = LoadRoot("<R><A>3</A></R>");
    Node a = nullptr;
    int32_t value = 0;
    ASSERT_TRUE(xml.FindChild(root, "A", a));
    EXPECT_TRUE(xml.ReadInt(a, "", value));
    EXPECT_EQ(value, 3);
}

TEST_F(XmlSerializer, ListsReadItemByItemAndStopAtTheFirstBadOne)
{
    Node root = LoadRoot("<R><L><I><v>1</v></I><Other/><I><v>x</v></I><I><v>3</v></I></L><Empty/><Blank> </Blank></R>");
    auto readItem = [&](Node item, int32_t& value) { return xml.ReadInt(item, "v", value); };

    std::vector<int32_t> values{9, 9, 9, 9};
    EXPECT_FALSE(xml.ReadRecords(root, "L", "I", values, readItem));
    EXPECT_EQ(xml.GetErr().msgId, 59162u);
    EXPECT_EQ(values, std::vector<int32_t>{1});

    std::vector<std::string> strings{"stale"};
    EXPECT_TRUE(xml.ReadStrings(root, "Empty", "Url", strings));
    EXPECT_TRUE(strings.empty());
    strings = {"stale"};
    EXPECT_TRUE(xml.ReadStrings(root, "Blank", "Url", strings));
    EXPECT_TRUE(strings.empty());

    strings = {"kept"};
    EXPECT_FALSE(xml.ReadStrings(root, "Missing", "Url", strings));
    EXPECT_EQ(xml.GetErr().msgId, 59155u);
    EXPECT_EQ(xml.GetErr().text, "XMLドキュメント指定のノードが見つかりません - " + kNoElement + "\n\n#document/R -> Missing");
    EXPECT_EQ(strings, std::vector<std::string>{"kept"});
}

TEST_F(XmlSerializer, AFailedWriteAppendsNothing)
{
    Node root = NewRoot();
    EXPECT_FALSE(xml.WriteString(root, "S", "bell\x07"));
    EXPECT_EQ(xml.GetErr().msgId, 59146u);
    EXPECT_FALSE(xml.WriteString(root, "S", "\xFF"));
    EXPECT_EQ(xml.GetErr().msgId, 59146u);

    EXPECT_FALSE(xml.WriteNamed(root, "F", static_cast<PrintImageFitType>(7), FitTypeToName));
    EXPECT_EQ(xml.GetErr().msgId, 59013u);
    EXPECT_EQ(xml.GetErr().text, "PrintImageFitType として不明な値 7 が指定されました");

    EXPECT_FALSE(xml.WriteRecord(root, "Rec", [&](Node n) {
        return xml.WriteInt(n, "A", 1) && xml.WriteNamed(n, "Flags", 0x52u, PrintFlagsToText);
    }));
    EXPECT_EQ(xml.GetErr().text, "PrintSettingFlags として不明な値 0x40 が指定されました");
    EXPECT_EQ(Saved(), kDeclaration + "<R/>\n");
}

TEST_F(XmlSerializer, EntitiesDeclaredInTheDocumentAreNotExpanded)
{
    // Nested entities would multiply the text without bound.
    Node root = LoadRoot("<!DOCTYPE R [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                         "<R><S>x&b;y&amp;</S></R>");
    std::string text;
    EXPECT_TRUE(xml.ReadString(root, "S", text));
    EXPECT_EQ(text, "xy&");
}

TEST_F(XmlSerializer, OperationsWithoutADocumentFail)
{
    Node root = nullptr;
    std::string text;
    CXmlNodePtr element;
    EXPECT_FALSE(xml.SelectDocumentElement("R", root));
    EXPECT_EQ(xml.GetErr().msgId, 59142u);
    EXPECT_FALSE(xml.CreateElement("A", element));
    EXPECT_EQ(xml.GetErr().msgId, 59143u);
    EXPECT_FALSE(xml.SaveText(text));
    EXPECT_EQ(xml.GetErr().msgId, 59141u);
    EXPECT_FALSE(xml.ReadText(nullptr, text));
    EXPECT_EQ(xml.GetErr().msgId, 59149u);
}

}  // namespace

// A failed save keeps the file's own record: what went wrong and with which
// file, and the system's code; a device is written in place, and its write
// error is reported rather than the device replaced by a file.
TEST_F(XmlSerializer, AFailedSaveSaysWhichFileAndWhy)
{
    NewRoot();
    CTempFolder folder;
    const std::string missing = folder / "missing/Quorvane32.config";
    EXPECT_FALSE(xml.Save(missing));
    EXPECT_EQ(xml.GetErr().msgId, 59141u);
    EXPECT_EQ(xml.GetErr().value, ENOENT);
    EXPECT_NE(xml.GetErr().text.find(missing), std::string::npos) << xml.GetErr().text;
    EXPECT_NE(xml.GetErr().text.find(NotFound()), std::string::npos) << xml.GetErr().text;

    if (geteuid() != 0)
        GTEST_SKIP() << "making device nodes needs root";
    const std::string full = folder / "full";
    ASSERT_EQ(mknod(full.c_str(), S_IFCHR | 0600, makedev(1, 7)), 0);
    EXPECT_FALSE(xml.Save(full));
    EXPECT_EQ(xml.GetErr().value, ENOSPC) << xml.GetErr().text;
    GStatBuf st;
    ASSERT_EQ(g_stat(full.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device was replaced";
}
