#include "printing/PdfPageGroupFilter.h"

std::string_view CPdfPageGroupFilter::PageGroup()
{
    return "/Group <<\n"
           "      /Type /Group\n"
           "      /S /Transparency\n"
           "      /I true\n"
           "      /CS /DeviceRGB\n"
           "   >>";
}

bool CPdfPageGroupFilter::Write(const char* data, size_t length)
{
    const std::string_view group = PageGroup();
    m_held.append(data, length);
    size_t pos = 0;
    while ((pos = m_held.find(group, pos)) != std::string::npos) {
        m_held.replace(pos, group.size(), group.size(), ' ');
        pos += group.size();
        ++m_blanked;
    }
    // Keep back only what could be the start of a group split across writes.
    size_t keep = 0;
    for (size_t n = std::min(m_held.size(), group.size() - 1); n > 0; --n) {
        if (std::string_view(m_held).substr(m_held.size() - n) == group.substr(0, n)) {
            keep = n;
            break;
        }
    }
    const size_t pass = m_held.size() - keep;
    if (pass == 0)
        return true;
    const bool ok = m_output(m_held.data(), pass);
    m_held.erase(0, pass);
    return ok;
}

bool CPdfPageGroupFilter::Flush()
{
    if (m_held.empty())
        return true;
    const bool ok = m_output(m_held.data(), m_held.size());
    m_held.clear();
    return ok;
}
