// No plug-in modules outside Windows: the filters they hold are Windows code.
#include "platform/plugins.h"

namespace plr::platform {

std::int32_t scanPlugins(const char*, PluginFound, void*) noexcept { return 0; }

// Nothing can run: fails like a module that cannot be loaded.
std::int32_t runPlugin(const PluginImage&, const PluginImage&, const char*, void*, PluginMode) noexcept { return -1; }

}  // namespace plr::platform
