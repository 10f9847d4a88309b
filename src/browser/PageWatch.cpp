#include "browser/PageWatch.h"

#include "errors/Resources.h"

#include <webkit2/webkit2.h>

#include <string>

namespace {

constexpr char kWorld[] = "quorvane-page-watch";
constexpr char kHandler[] = "quorvanePageWatch";

// The type of the events between the two scripts; the page would have to
// know it to listen in or to send false reports.
const std::string& EventTag()
{
    static const std::string tag = [] {
        char text[32];
        g_snprintf(text, sizeof text, "qv%08x%08x", g_random_int(), g_random_int());
        return std::string(text);
    }();
    return tag;
}

std::string ScriptText(const char* resource)
{
    GBytes* bytes = LookupResource(resource);
    if (!bytes)
        return {};
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    std::string text(data ? data : "", size);
    g_bytes_unref(bytes);
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"QV_TAG", EventTag()}, {"QV_HANDLER", kHandler}})
        for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
            text.replace(at, name.size(), value);
    return text;
}

void AddScript(WebKitUserContentManager* manager, const std::string& source, const char* world)
{
    WebKitUserScript* script =
        world ? webkit_user_script_new_for_world(source.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                 WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, world, nullptr, nullptr)
              : webkit_user_script_new(source.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                       WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(manager, script);
    webkit_user_script_unref(script);
}

}  // namespace

CPageWatch::CPageWatch(WebKitWebView* webView, std::function<void(const CFrameReport&)> onReport)
    : m_onReport(std::move(onReport))
{
    m_manager = WEBKIT_USER_CONTENT_MANAGER(g_object_ref(webkit_web_view_get_user_content_manager(webView)));
    const std::string page = ScriptText("scripts/page-watch-page.js");
    const std::string watcher = ScriptText("scripts/page-watch-watcher.js");
    if (page.empty() || watcher.empty())
        return;
    // The watcher listens before the page's world says anything.
    const std::string signal = std::string("script-message-received::") + kHandler;
    g_signal_connect(m_manager, signal.c_str(), G_CALLBACK(OnMessage), this);
    webkit_user_content_manager_register_script_message_handler_in_world(m_manager, kHandler, kWorld);
    AddScript(m_manager, watcher, kWorld);
    AddScript(m_manager, page, nullptr);
}

CPageWatch::~CPageWatch()
{
    g_signal_handlers_disconnect_by_data(m_manager, this);
    webkit_user_content_manager_unregister_script_message_handler_in_world(m_manager, kHandler, kWorld);
    webkit_user_content_manager_remove_all_scripts(m_manager);
    g_object_unref(m_manager);
}

void CPageWatch::OnMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, void* self)
{
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (!value || !jsc_value_is_string(value))
        return;
    gchar* text = jsc_value_to_string(value);
    CFrameReport report;
    const bool parsed = text && ParseFrameReport(text, report);
    g_free(text);
    if (parsed)
        static_cast<CPageWatch*>(self)->m_onReport(report);
}
