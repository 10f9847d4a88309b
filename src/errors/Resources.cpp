#include "errors/Resources.h"

#include <gio/gio.h>

extern "C" GResource* quorvane_get_resource(void);

namespace {

// Referencing the bundle keeps it linked in from the static library; it is
// registered on first use, before any lookup by path.
void EnsureRegistered()
{
    static const bool registered = [] {
        g_resources_register(quorvane_get_resource());
        return true;
    }();
    (void)registered;
}

}  // namespace

GBytes* LookupResource(const std::string& relativePath)
{
    return g_resources_lookup_data(ResourcePath(relativePath).c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
}

std::string ResourcePath(const std::string& relativePath)
{
    EnsureRegistered();
    return std::string(kResourcePrefix) + relativePath;
}
