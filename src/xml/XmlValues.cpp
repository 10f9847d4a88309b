// Typed values of the serializer: each read finds the element, reads its text
// and parses it; each write creates the element, fills it and appends it.
#include "xml/XmlSerializer.h"

#include "common/NumberText.h"
#include "xml/XmlText.h"

#include <cerrno>

bool CXmlSerializer::Target(Node current, const std::string& name, Node& node)
{
    if (name.empty()) {
        node = current;
        return true;
    }
    return FindChild(current, name, node);
}

bool CXmlSerializer::ReadValueText(Node current, const std::string& name, std::string& text)
{
    Node node = nullptr;
    if (!Target(current, name, node) || !ReadText(node, text))
        return false;
    // Hand-edited files may put the value on a line of its own.
    text = std::string(TrimXmlSpace(text));
    return true;
}

bool CXmlSerializer::WriteText(Node current, const std::string& name, const std::string& text)
{
    return WriteRecord(current, name, [&](Node node) { return SetText(node, text); });
}

bool CXmlSerializer::ReadInt(Node current, const std::string& name, int32_t& value)
{
    std::string text;
    if (!ReadValueText(current, name, text))
        return false;
    const std::optional<int32_t> number = ParseIntText(text);
    if (!number)
        return FailParse(59162, text);
    value = *number;
    return true;
}

bool CXmlSerializer::ReadLong(Node current, const std::string& name, int32_t& value)
{
    std::string text;
    if (!ReadValueText(current, name, text))
        return false;
    const std::optional<int32_t> number = ParseIntText(text);
    if (!number)
        return FailParse(59163, text);
    value = *number;
    return true;
}

bool CXmlSerializer::ReadBool(Node current, const std::string& name, bool& value)
{
    std::string text;
    if (!ReadValueText(current, name, text))
        return false;
    const std::optional<bool> flag = ParseBoolText(text);
    if (!flag)
        return Fail(59150, SysErr::FromErrno(EINVAL));
    value = *flag;
    return true;
}

bool CXmlSerializer::ReadDword(Node current, const std::string& name, uint32_t& value)
{
    std::string text;
    if (!ReadValueText(current, name, text))
        return false;
    const std::optional<uint32_t> number = ParseDwordText(text);
    if (!number)
        return FailParse(59167, text);
    value = *number;
    return true;
}

bool CXmlSerializer::ReadString(Node current, const std::string& name, std::string& value)
{
    Node node = nullptr;
    return Target(current, name, node) && ReadText(node, value);
}

bool CXmlSerializer::ReadVersion(Node current, const std::string& name)
{
    std::string text;
    if (!ReadValueText(current, name, text))
        return false;
    const std::optional<uint32_t> version = ParseVersionText(text);
    if (!version)
        return FailParse(59170, text);
    m_version = *version;
    return true;
}

bool CXmlSerializer::ReadRect(Node current, const std::string& name, CRect& rect)
{
    return ReadRecord(current, name, [&](Node node) {
        return ReadLong(node, "left", rect.left) && ReadLong(node, "top", rect.top) &&
               ReadLong(node, "right", rect.right) && ReadLong(node, "bottom", rect.bottom);
    });
}

bool CXmlSerializer::ReadSize(Node current, const std::string& name, CSize& size)
{
    return ReadRecord(current, name,
                      [&](Node node) { return ReadLong(node, "cx", size.cx) && ReadLong(node, "cy", size.cy); });
}

bool CXmlSerializer::ReadRecord(Node current, const std::string& name, const std::function<bool(Node)>& readMembers)
{
    Node node = nullptr;
    return Target(current, name, node) && readMembers(node);
}

bool CXmlSerializer::ReadList(Node current, const std::string& listName, const std::string& itemName,
                              const std::function<void()>& clear, const std::function<bool(Node)>& readItem)
{
    Node list = nullptr;
    std::vector<Node> items;
    if (!Target(current, listName, list) || !FindChildren(list, itemName, items))
        return false;
    clear();
    for (Node item : items) {
        if (!readItem(item))
            return false;
    }
    return true;
}

bool CXmlSerializer::ReadStrings(Node current, const std::string& listName, const std::string& itemName,
                                 std::vector<std::string>& strings)
{
    return ReadList(current, listName, itemName, [&] { strings.clear(); },
                    [&](Node item) {
                        std::string text;
                        if (!ReadText(item, text))
                            return false;
                        strings.push_back(std::move(text));
                        return true;
                    });
}

bool CXmlSerializer::WriteInt(Node current, const std::string& name, int32_t value)
{
    return WriteText(current, name, IntToText(value));
}

bool CXmlSerializer::WriteLong(Node current, const std::string& name, int32_t value)
{
    return WriteText(current, name, IntToText(value));
}

bool CXmlSerializer::WriteBool(Node current, const std::string& name, bool value)
{
    return WriteText(current, name, BoolToText(value));
}

bool CXmlSerializer::WriteDword(Node current, const std::string& name, uint32_t value)
{
    return WriteText(current, name, DwordToText(value));
}

bool CXmlSerializer::WriteString(Node current, const std::string& name, const std::string& value)
{
    return WriteText(current, name, value);
}

bool CXmlSerializer::WriteVersion(Node current, const std::string& name, uint32_t version)
{
    return WriteText(current, name, VersionToText(version));
}

bool CXmlSerializer::WriteRect(Node current, const std::string& name, const CRect& rect)
{
    return WriteRecord(current, name, [&](Node node) {
        return WriteLong(node, "left", rect.left) && WriteLong(node, "top", rect.top) &&
               WriteLong(node, "right", rect.right) && WriteLong(node, "bottom", rect.bottom);
    });
}

bool CXmlSerializer::WriteSize(Node current, const std::string& name, const CSize& size)
{
    return WriteRecord(current, name,
                       [&](Node node) { return WriteLong(node, "cx", size.cx) && WriteLong(node, "cy", size.cy); });
}

bool CXmlSerializer::WriteStrings(Node current, const std::string& listName, const std::string& itemName,
                                  const std::vector<std::string>& strings, size_t count)
{
    return WriteRecord(current, listName, [&](Node list) {
        for (size_t i = 0; i < strings.size() && i < count; ++i) {
            if (!WriteText(list, itemName, strings[i]))
                return false;
        }
        return true;
    });
}

bool CXmlSerializer::WriteRecord(Node current, const std::string& name, const std::function<bool(Node)>& writeMembers)
{
    if (name.empty())
        return writeMembers(current);
    CXmlNodePtr element;
    return CreateElement(name, element) && writeMembers(element.get()) && Append(current, element);
}
