#include "printing/PdfPageGroupFilter.h"

namespace {

// A page dictionary names its type; "/Type /Pages" is the page tree.
constexpr std::string_view kPageMarker = "/Type /Page";
constexpr std::string_view kObjectEnd = "endobj";
// cairo's page objects are a few hundred bytes; a "page" longer than this is
// not one of them and passes unchanged.
constexpr size_t kMaxPageObject = 64 * 1024;

bool IsNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
}

}  // namespace

std::string_view CPdfPageGroupFilter::PageGroup()
{
    return "/Group <<\n"
           "      /Type /Group\n"
           "      /S /Transparency\n"
           "      /I true\n"
           "      /CS /DeviceRGB\n"
           "   >>";
}

size_t CPdfPageGroupFilter::FindPageObject(size_t from) const
{
    for (size_t at = m_held.find(kPageMarker, from); at != std::string::npos;
         at = m_held.find(kPageMarker, at + 1)) {
        const size_t next = at + kPageMarker.size();
        if (next >= m_held.size())
            return std::string::npos;
        if (!IsNameCharacter(m_held[next]))
            return at;
    }
    return std::string::npos;
}

void CPdfPageGroupFilter::BlankGroups(size_t from, size_t to)
{
    const std::string_view group = PageGroup();
    for (size_t at = m_held.find(group, from); at != std::string::npos && at + group.size() <= to;
         at = m_held.find(group, at + group.size())) {
        m_held.replace(at, group.size(), group.size(), ' ');
        ++m_blanked;
    }
}

bool CPdfPageGroupFilter::Write(const char* data, size_t length)
{
    m_held.append(data, length);
    // Everything before `ready` has been looked at and may go on.
    size_t ready = 0;
    for (;;) {
        if (!m_inPage) {
            const size_t page = FindPageObject(ready);
            if (page == std::string::npos) {
                // Keep back what could be the start of a marker.
                const size_t keep = std::min(m_held.size() - ready, kPageMarker.size());
                ready = m_held.size() - keep;
                break;
            }
            m_inPage = true;
            ready = page;
        }
        const size_t end = m_held.find(kObjectEnd, ready);
        if (end == std::string::npos) {
            if (m_held.size() - ready > kMaxPageObject) {
                m_inPage = false;
                ready = m_held.size();
            }
            break;
        }
        BlankGroups(ready, end);
        m_inPage = false;
        ready = end;
    }
    if (ready == 0)
        return true;
    const bool ok = m_output(m_held.data(), ready);
    m_held.erase(0, ready);
    return ok;
}

bool CPdfPageGroupFilter::Flush()
{
    m_inPage = false;
    if (m_held.empty())
        return true;
    const bool ok = m_output(m_held.data(), m_held.size());
    m_held.clear();
    return ok;
}
