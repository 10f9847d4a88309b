#pragma once
#include <libxml/tree.h>

#include <memory>
#include <utility>

// Owns one libxml2 document; the nodes inside it live and die with it.
class CXmlDoc {
public:
    CXmlDoc() = default;
    explicit CXmlDoc(xmlDoc* doc) : m_doc(doc) {}
    ~CXmlDoc() { Reset(); }
    CXmlDoc(const CXmlDoc&) = delete;
    CXmlDoc& operator=(const CXmlDoc&) = delete;
    CXmlDoc(CXmlDoc&& other) noexcept : m_doc(std::exchange(other.m_doc, nullptr)) {}
    CXmlDoc& operator=(CXmlDoc&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_doc = std::exchange(other.m_doc, nullptr);
        }
        return *this;
    }

    xmlDoc* Get() const { return m_doc; }
    explicit operator bool() const { return m_doc != nullptr; }
    void Reset(xmlDoc* doc = nullptr)
    {
        if (m_doc)
            xmlFreeDoc(m_doc);
        m_doc = doc;
    }

private:
    xmlDoc* m_doc = nullptr;
};

// An element created for a document but not yet appended to it: freed unless
// it is handed over to its parent.
struct XmlNodeDeleter {
    void operator()(xmlNode* node) const { xmlFreeNode(node); }
};
using CXmlNodePtr = std::unique_ptr<xmlNode, XmlNodeDeleter>;
