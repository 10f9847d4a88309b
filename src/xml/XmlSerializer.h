#pragma once
#include "common/Types.h"
#include "errors/Exception.h"
#include "errors/SimpleErr.h"
#include "xml/XmlDoc.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Version 1.0.0.0 as a number: the first number is the most significant byte.
inline constexpr uint32_t kXmlVersion1000 = 0x01000000;

// A thin layer over a libxml2 document for building and reading settings
// documents: typed values with fixed text forms, child elements found by name,
// and an error record instead of exceptions. Every operation returns false on
// failure and leaves the message in the record, so that readers and writers
// are chains of calls that stop at the first failure.
//
// An empty element name means the current element itself.
class CXmlSerializer : public CHasErr<CSimpleErr> {
public:
    using Node = xmlNode*;

    // Document level. Each create or load replaces the previous document.
    bool CreateFromTemplate(const std::string& text);
    bool Load(const std::string& path);
    // As Load, from text already read; `path` names the document in messages.
    bool LoadText(const std::string& text, const std::string& path);
    // Writes the document as UTF-8 to a temporary file beside `path` and
    // renames it over `path` only when it is complete.
    bool Save(const std::string& path);
    bool SaveText(std::string& text);
    bool SelectDocumentElement(const std::string& name, Node& element);
    bool HasDocument() const { return static_cast<bool>(m_doc); }

    // Element level.
    bool FindChild(Node current, const std::string& name, Node& child);
    // Whether `current` has a child element `name`; never an error.
    bool HasChild(Node current, const std::string& name) const;
    bool FindChildren(Node list, const std::string& itemName, std::vector<Node>& items);
    bool ReadText(Node node, std::string& text);
    bool CreateElement(const std::string& name, CXmlNodePtr& element);
    bool SetText(Node element, const std::string& text);
    bool Append(Node parent, CXmlNodePtr& child);
    // "#document/Root/Child": the names from the document node down.
    static std::string NodePath(Node node);

    // Typed values.
    bool ReadInt(Node current, const std::string& name, int32_t& value);
    bool ReadLong(Node current, const std::string& name, int32_t& value);
    bool ReadBool(Node current, const std::string& name, bool& value);
    bool ReadDword(Node current, const std::string& name, uint32_t& value);
    bool ReadString(Node current, const std::string& name, std::string& value);
    // Into the version slot.
    bool ReadVersion(Node current, const std::string& name);
    bool ReadRect(Node current, const std::string& name, CRect& rect);
    bool ReadSize(Node current, const std::string& name, CSize& size);
    // `parse` turns a name into a value and raises my::CException for an
    // unknown name; the exception becomes the error record.
    template <class T, class Parse>
    bool ReadNamed(Node current, const std::string& name, T& value, Parse parse);
    bool ReadStrings(Node current, const std::string& listName, const std::string& itemName,
                     std::vector<std::string>& strings);
    // `readItem(node, record)` reads one record's members from its element.
    template <class T, class ReadItem>
    bool ReadRecords(Node current, const std::string& listName, const std::string& itemName, std::vector<T>& records,
                     ReadItem readItem);
    // Finds the record's element and lets `readMembers(node)` read its members.
    bool ReadRecord(Node current, const std::string& name, const std::function<bool(Node)>& readMembers);

    bool WriteInt(Node current, const std::string& name, int32_t value);
    bool WriteLong(Node current, const std::string& name, int32_t value);
    bool WriteBool(Node current, const std::string& name, bool value);
    bool WriteDword(Node current, const std::string& name, uint32_t value);
    bool WriteString(Node current, const std::string& name, const std::string& value);
    bool WriteVersion(Node current, const std::string& name, uint32_t version);
    bool WriteRect(Node current, const std::string& name, const CRect& rect);
    bool WriteSize(Node current, const std::string& name, const CSize& size);
    // `format` turns a value into its name and raises my::CException for a
    // value without one.
    template <class T, class Format>
    bool WriteNamed(Node current, const std::string& name, const T& value, Format format);
    // All strings, or only the first `count`.
    bool WriteStrings(Node current, const std::string& listName, const std::string& itemName,
                      const std::vector<std::string>& strings, size_t count = SIZE_MAX);
    // `writeItem(node, record)` writes one record's members into its element.
    template <class T, class WriteItem>
    bool WriteRecords(Node current, const std::string& listName, const std::string& itemName,
                      const std::vector<T>& records, WriteItem writeItem);
    // Creates the record's element (or uses the current one for an empty
    // name), lets `writeMembers(node)` fill it and appends it if created here.
    bool WriteRecord(Node current, const std::string& name, const std::function<bool(Node)>& writeMembers);

    // The version read from a document; starts at 1.0.0.0.
    uint32_t Version() const { return m_version; }
    void SetVersion(uint32_t version) { m_version = version; }

private:
    bool Fail(uint32_t msgId, const SysErr& sys, const std::vector<std::string>& inserts = {});
    bool FailParse(uint32_t msgId, const std::string& text);
    bool FailWith(const my::CException& e);
    bool Target(Node current, const std::string& name, Node& node);
    // The text of the target, without surrounding XML white space.
    bool ReadValueText(Node current, const std::string& name, std::string& text);
    bool WriteText(Node current, const std::string& name, const std::string& text);
    bool ReadList(Node current, const std::string& listName, const std::string& itemName,
                  const std::function<void()>& clear, const std::function<bool(Node)>& readItem);

    CXmlDoc m_doc;
    uint32_t m_version = kXmlVersion1000;
};

template <class T, class Parse>
bool CXmlSerializer::ReadNamed(Node current, const std::string& name, T& value, Parse parse)
{
    std::string text;
    if (!ReadValueText(current, name, text))
        return false;
    try {
        value = parse(text);
        return true;
    } catch (const my::CException& e) {
        return FailWith(e);
    }
}

template <class T, class Format>
bool CXmlSerializer::WriteNamed(Node current, const std::string& name, const T& value, Format format)
{
    std::string text;
    try {
        text = format(value);
    } catch (const my::CException& e) {
        return FailWith(e);
    }
    return WriteText(current, name, text);
}

template <class T, class ReadItem>
bool CXmlSerializer::ReadRecords(Node current, const std::string& listName, const std::string& itemName,
                                 std::vector<T>& records, ReadItem readItem)
{
    return ReadList(current, listName, itemName, [&] { records.clear(); },
                    [&](Node item) {
                        T record{};
                        if (!readItem(item, record))
                            return false;
                        records.push_back(std::move(record));
                        return true;
                    });
}

template <class T, class WriteItem>
bool CXmlSerializer::WriteRecords(Node current, const std::string& listName, const std::string& itemName,
                                  const std::vector<T>& records, WriteItem writeItem)
{
    return WriteRecord(current, listName, [&](Node list) {
        for (const T& record : records) {
            if (!WriteRecord(list, itemName, [&](Node item) { return writeItem(item, record); }))
                return false;
        }
        return true;
    });
}
