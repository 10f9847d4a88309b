#include "common/WebAddress.h"

#include <glib.h>

bool IsHostAndPort(const std::string& text)
{
    const size_t colon = text.find(':');
    if (colon == 0 || colon == std::string::npos)
        return false;
    const std::string host = text.substr(0, colon);
    for (const char c : host)
        if (!g_ascii_isalnum(c) && c != '.' && c != '-')
            return false;
    if (g_ascii_strcasecmp(host.c_str(), "localhost") != 0 && host.find('.') == std::string::npos)
        return false;
    size_t end = colon + 1;
    while (end < text.size() && g_ascii_isdigit(text[end]))
        ++end;
    const size_t digits = end - colon - 1;
    if (digits == 0 || digits > 5)
        return false;
    return end == text.size() || text[end] == '/' || text[end] == '?' || text[end] == '#';
}

std::string SchemeForTypedHost(const std::string& text)
{
    const std::string host = text.substr(0, text.find_first_of(":/?#"));
    const bool local = g_ascii_strcasecmp(host.c_str(), "localhost") == 0 || g_hostname_is_ip_address(host.c_str());
    return local ? "http://" : "https://";
}
