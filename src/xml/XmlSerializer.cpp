// Document and element operations of the serializer; the typed values are in
// XmlValues.cpp.
#include "xml/XmlSerializer.h"

#include "common/AtomicFile.h"
#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/ProgramMessages.h"
#include "errors/StringTable.h"
#include "xml/XmlText.h"

#include <glib.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The reason of a missing element: the system's text for ENOENT would read
// as if the file itself were missing.
SysErr ElementMissing() { return SysErr{ENOENT, LoadString(kMsgElementMissing)}; }

const char* Chars(const xmlChar* text) { return reinterpret_cast<const char*>(text); }
const xmlChar* XmlChars(const std::string& text) { return reinterpret_cast<const xmlChar*>(text.c_str()); }

struct ParserCtxtDeleter {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

// The parser reports every problem here; the first one is the one that says
// what is wrong with the text, later ones are its consequences.
struct ParseErrors {
    SysErr first;
    bool any = false;

    void Add(const xmlError* error)
    {
        if (any || !error || error->level < XML_ERR_ERROR)
            return;
        any = true;
        first.code = error->code;
        const std::string message = TrimText(error->message ? error->message : "");
        first.text = error->line > 0 ? "line " + std::to_string(error->line) + ": " + message : message;
    }
    // Errors of the parser context.
    static void FromParser(void* ctxt, xmlError* error)
    {
        static_cast<ParseErrors*>(static_cast<xmlParserCtxt*>(ctxt)->_private)->Add(error);
    }
    // Errors raised without the context, such as a failed encoding conversion.
    static void FromLibrary(void* self, xmlError* error) { static_cast<ParseErrors*>(self)->Add(error); }
};

// Sends the library's errors of this thread to `errors` while it lives,
// instead of printing them.
class CLibraryErrorScope {
public:
    explicit CLibraryErrorScope(ParseErrors& errors)
        : m_handler(xmlStructuredError), m_context(xmlStructuredErrorContext)
    {
        xmlSetStructuredErrorFunc(&errors, &ParseErrors::FromLibrary);
    }
    ~CLibraryErrorScope() { xmlSetStructuredErrorFunc(m_context, m_handler); }
    CLibraryErrorScope(const CLibraryErrorScope&) = delete;
    CLibraryErrorScope& operator=(const CLibraryErrorScope&) = delete;

private:
    xmlStructuredErrorFunc m_handler;
    void* m_context;
};

// Parses `text` into a document; on failure the error says why.
xmlDoc* ParseDocument(const std::string& text, const std::string& path, SysErr& error, bool& created)
{
    std::unique_ptr<xmlParserCtxt, ParserCtxtDeleter> ctxt(xmlNewParserCtxt());
    created = static_cast<bool>(ctxt);
    if (!ctxt) {
        error = SysErr::FromErrno(ENOMEM);
        return nullptr;
    }
    ParseErrors errors;
    CLibraryErrorScope scope(errors);
    ctxt->_private = &errors;
    ctxt->sax->serror = &ParseErrors::FromParser;
    // No network, no external DTD, no entity substitution, nothing printed.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    xmlDoc* doc = xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()),
                                    path.empty() ? nullptr : path.c_str(), nullptr, options);
    if (doc && !ctxt->wellFormed) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    if (!doc)
        error = errors.any ? errors.first : SysErr::FromErrno(EINVAL);
    return doc;
}

bool IsBlankText(const xmlNode* node)
{
    return node->type == XML_TEXT_NODE && TrimXmlSpace(node->content ? Chars(node->content) : "").empty();
}

// The template's line breaks between tags are layout, not content.
void RemoveBlankText(xmlNode* parent)
{
    for (xmlNode* child = parent->children; child;) {
        xmlNode* next = child->next;
        if (IsBlankText(child)) {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        } else if (child->type == XML_ELEMENT_NODE) {
            RemoveBlankText(child);
        }
        child = next;
    }
}

bool IsElementNamed(const xmlNode* node, const std::string& name)
{
    return node->type == XML_ELEMENT_NODE && !node->ns && node->name && name == Chars(node->name);
}

}  // namespace

bool CXmlSerializer::Fail(uint32_t msgId, const SysErr& sys, const std::vector<std::string>& inserts)
{
    m_err = MakeErr(msgId, sys, inserts);
    return false;
}

bool CXmlSerializer::FailParse(uint32_t msgId, const std::string& text)
{
    m_err = MakeErr(msgId, {text});
    return false;
}

bool CXmlSerializer::FailWith(const my::CException& e)
{
    m_err = e.Err();
    return false;
}

bool CXmlSerializer::CreateFromTemplate(const std::string& text)
{
    m_doc.Reset();
    SysErr error;
    bool created = false;
    xmlDoc* doc = ParseDocument(text, {}, error, created);
    if (!doc)
        return Fail(created ? 59140 : 59139, error);
    m_doc.Reset(doc);
    RemoveBlankText(reinterpret_cast<xmlNode*>(doc));
    return true;
}

bool CXmlSerializer::Load(const std::string& path)
{
    m_doc.Reset();
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS))
        return Fail(59147, SysErr::FromErrno(ENOENT), {path});
    gchar* contents = nullptr;
    gsize length = 0;
    GError* error = nullptr;
    if (!g_file_get_contents(path.c_str(), &contents, &length, &error)) {
        const SysErr sys = SysErr::FromGError(error);
        g_error_free(error);
        return Fail(59147, sys, {path});
    }
    const std::string text(contents, length);
    g_free(contents);
    return LoadText(text, path);
}

bool CXmlSerializer::LoadText(const std::string& text, const std::string& path)
{
    m_doc.Reset();
    if (text.size() > static_cast<size_t>(INT_MAX))
        return Fail(59147, SysErr::FromErrno(EFBIG), {path});
    SysErr error;
    bool created = false;
    xmlDoc* doc = ParseDocument(text, path, error, created);
    if (!doc)
        return Fail(created ? 59147 : 59139, error, created ? std::vector<std::string>{path} : std::vector<std::string>{});
    m_doc.Reset(doc);
    return true;
}

bool CXmlSerializer::SaveText(std::string& text)
{
    if (!m_doc)
        return Fail(59141, SysErr::FromErrno(EINVAL));
    xmlChar* bytes = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(m_doc.Get(), &bytes, &size, "utf-8", 0);
    if (!bytes)
        return Fail(59141, SysErr::FromErrno(ENOMEM));
    text.assign(Chars(bytes), static_cast<size_t>(size));
    xmlFree(bytes);
    return true;
}

bool CXmlSerializer::Save(const std::string& path)
{
    std::string text;
    if (!SaveText(text))
        return false;
    // The same safe write as the image files: the old file survives any
    // failure, and a symbolic link at the path and the file's permissions
    // are kept.
    try {
        CAtomicFile file(path);
        FILE* stream = file.Stream();
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), stream) != text.size())
            return Fail(59141, SysErr::FromErrno(errno ? errno : EIO));
        file.Commit();
    } catch (const my::CException& e) {
        // The file's own record: its code and its text, which names the
        // file and says what went wrong.
        return Fail(59141, SysErr{e.Err().value, e.Err().text});
    }
    return true;
}

bool CXmlSerializer::SelectDocumentElement(const std::string& name, Node& element)
{
    if (!m_doc)
        return Fail(59142, SysErr::FromErrno(EINVAL), {name});
    xmlNode* root = xmlDocGetRootElement(m_doc.Get());
    if (!root || !IsElementNamed(root, name))
        return Fail(59155, ElementMissing(), {name});
    element = root;
    return true;
}

std::string CXmlSerializer::NodePath(Node node)
{
    if (!node)
        return "(!null)";
    std::string path;
    for (xmlNode* n = node; n; n = n->parent) {
        std::string name;
        if (n->type == XML_DOCUMENT_NODE || n->type == XML_HTML_DOCUMENT_NODE)
            name = "#document";
        else
            name = n->name ? Chars(n->name) : "(!name)";
        path = path.empty() ? name : name + "/" + path;
    }
    return path;
}

bool CXmlSerializer::FindChild(Node current, const std::string& name, Node& child)
{
    const std::string where = NodePath(current) + " -> " + name;
    if (!current)
        return Fail(59142, SysErr::FromErrno(EINVAL), {where});
    for (xmlNode* n = current->children; n; n = n->next) {
        if (IsElementNamed(n, name)) {
            child = n;
            return true;
        }
    }
    return Fail(59155, ElementMissing(), {where});
}

bool CXmlSerializer::HasChild(Node current, const std::string& name) const
{
    for (xmlNode* n = current ? current->children : nullptr; n; n = n->next)
        if (IsElementNamed(n, name))
            return true;
    return false;
}

bool CXmlSerializer::FindChildren(Node list, const std::string& itemName, std::vector<Node>& items)
{
    if (!list)
        return Fail(59156, ElementMissing(), {itemName});
    items.clear();
    for (xmlNode* n = list->children; n; n = n->next) {
        if (IsElementNamed(n, itemName))
            items.push_back(n);
    }
    return true;
}

bool CXmlSerializer::ReadText(Node node, std::string& text)
{
    if (!node)
        return Fail(59149, SysErr::FromErrno(EINVAL));
    // The text and CDATA below the node in document order. References to
    // entities declared in the document are not expanded.
    std::string result;
    xmlNode* n = node->children;
    while (n) {
        if ((n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) && n->content)
            result += Chars(n->content);
        if (n->type == XML_ELEMENT_NODE && n->children) {
            n = n->children;
            continue;
        }
        while (n && !n->next && n != node)
            n = n->parent;
        if (!n || n == node)
            break;
        n = n->next;
    }
    text = std::move(result);
    return true;
}

bool CXmlSerializer::CreateElement(const std::string& name, CXmlNodePtr& element)
{
    if (!m_doc)
        return Fail(59143, SysErr::FromErrno(EINVAL));
    element.reset(xmlNewDocNode(m_doc.Get(), nullptr, XmlChars(name), nullptr));
    if (!element)
        return Fail(59143, SysErr::FromErrno(ENOMEM));
    return true;
}

bool CXmlSerializer::SetText(Node element, const std::string& text)
{
    if (!element || !m_doc)
        return Fail(59146, SysErr::FromErrno(EINVAL));
    // A character that XML cannot carry would make the saved file unreadable.
    if (!IsXmlText(text))
        return Fail(59146, SysErr::FromErrno(EILSEQ));
    while (element->children) {
        xmlNode* child = element->children;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
    }
    if (text.empty())
        return true;
    xmlNode* node = xmlNewDocTextLen(m_doc.Get(), XmlChars(text), static_cast<int>(text.size()));
    if (!node)
        return Fail(59146, SysErr::FromErrno(ENOMEM));
    if (!xmlAddChild(element, node)) {
        xmlFreeNode(node);
        return Fail(59146, SysErr::FromErrno(ENOMEM));
    }
    return true;
}

bool CXmlSerializer::Append(Node parent, CXmlNodePtr& child)
{
    if (!parent || !child)
        return Fail(59144, SysErr::FromErrno(EINVAL));
    // xmlAddChild may merge a text node into its neighbour and free it; the
    // program appends elements only.
    if (!xmlAddChild(parent, child.get()))
        return Fail(59144, SysErr::FromErrno(EINVAL));
    child.release();
    return true;
}
