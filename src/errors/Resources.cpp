#include "errors/Resources.h"

#include <gio/gio.h>

extern "C" GResource* quorvane_get_resource(void);

GBytes* LookupResource(const std::string& relativePath)
{
    // Referencing the bundle keeps it linked in from the static library, and
    // registers it on first use.
    static bool registered = [] {
        g_resources_register(quorvane_get_resource());
        return true;
    }();
    (void)registered;
    return g_resources_lookup_data(ResourcePath(relativePath).c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
}

std::string ResourcePath(const std::string& relativePath)
{
    return std::string(kResourcePrefix) + relativePath;
}
