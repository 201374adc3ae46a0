#include "exchange/plugin_scan.h"

#include "core/export_failures.h"
#include "core/failure.h"
#include "platform/plugins.h"

namespace plr {

std::int32_t listFoundPlugin(void* list, const char* path, const char* category, const char* name) noexcept {
    guardedVoid(operation::kPluginScanCallback,
                [&] { need(static_cast<PluginList*>(list)->push(path, category, name)); });
    return 0;
}

std::int32_t scanPluginsInto(PluginList& list, const char* folder) noexcept {
    return platform::scanPlugins(folder, listFoundPlugin, &list);
}

}  // namespace plr
