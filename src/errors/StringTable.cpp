#include "errors/StringTable.h"

#include "errors/Exception.h"
#include "errors/MessageFormat.h"
#include "errors/Resources.h"

#include <glib.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

namespace {

constexpr const char* kGroup = "Strings";

UiLanguage g_language = LanguageFromEnvironment();

struct KeyFileDeleter {
    void operator()(GKeyFile* f) const { g_key_file_free(f); }
};
using KeyFilePtr = std::unique_ptr<GKeyFile, KeyFileDeleter>;

GKeyFile* Table(UiLanguage language)
{
    static std::mutex mutex;
    static std::map<UiLanguage, KeyFilePtr> tables;
    std::lock_guard lock(mutex);
    auto& table = tables[language];
    if (!table) {
        table.reset(g_key_file_new());
        GBytes* bytes = LookupResource(language == UiLanguage::Japanese ? "strings/ja.ini" : "strings/en.ini");
        if (bytes) {
            g_key_file_load_from_bytes(table.get(), bytes, G_KEY_FILE_NONE, nullptr);
            g_bytes_unref(bytes);
        }
    }
    return table.get();
}

// The string table must always be able to say that an entry is missing.
constexpr const char* kMissingFallback = "文字列リソースが見つかりません - %s\n\nID: %s";

}  // namespace

UiLanguage LanguageFromEnvironment()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        const std::string locale = value;
        // The C locale names no language.
        if (locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0)
            return UiLanguage::Japanese;
        return locale.rfind("ja", 0) == 0 ? UiLanguage::Japanese : UiLanguage::English;
    }
    return UiLanguage::Japanese;
}

UiLanguage CurrentLanguage() { return g_language; }
void SetLanguage(UiLanguage language) { g_language = language; }

bool TryLoadString(uint32_t id, std::string& text)
{
    gchar* value = g_key_file_get_string(Table(g_language), kGroup, std::to_string(id).c_str(), nullptr);
    if (!value)
        return false;
    text = value;
    g_free(value);
    return true;
}

std::vector<std::pair<std::string, std::string>> LoadUiTexts(const std::string& uiFile)
{
    std::vector<std::pair<std::string, std::string>> texts;
    GKeyFile* table = Table(g_language);
    gchar** keys = g_key_file_get_keys(table, uiFile.c_str(), nullptr, nullptr);
    for (gchar** key = keys; key && *key; ++key)
        if (gchar* value = g_key_file_get_string(table, uiFile.c_str(), *key, nullptr)) {
            texts.emplace_back(*key, value);
            g_free(value);
        }
    g_strfreev(keys);
    return texts;
}

std::string LoadString(uint32_t id)
{
    std::string text;
    GError* error = nullptr;
    gchar* value = g_key_file_get_string(Table(g_language), kGroup, std::to_string(id).c_str(), &error);
    if (!value) {
        const SysErr sys = SysErr::FromGError(error);
        g_clear_error(&error);
        std::string pattern;
        if (id == 58743 || !TryLoadString(58743, pattern))
            pattern = kMissingFallback;
        CSimpleErr err;
        err.msgId = 58743;
        err.value = sys.code;
        err.text = FormatText(pattern, {sys.text, std::to_string(id)}, Utf8Length(pattern) + 1024);
        throw my::CException(err);
    }
    text = value;
    g_free(value);

    // Entries are loaded into a room that grows tenfold while the text fills
    // it; a room beyond 65536 characters means the entry is too long.
    const size_t length = Utf8Length(text);
    for (size_t room = 256; length >= room - 1; room *= 10) {
        if (room * 10 > 65536)
            throw my::CException(58744, {std::to_string(id)});
    }
    return text;
}

std::string CommandHelpText(uint32_t id)
{
    std::string text;
    if (!TryLoadString(id, text))
        return {};
    return text.substr(0, text.find('\n'));
}

std::string CommandToolTip(uint32_t id)
{
    std::string text;
    if (!TryLoadString(id, text))
        return {};
    const size_t pos = text.find('\n');
    return pos == std::string::npos ? std::string() : text.substr(pos + 1);
}
