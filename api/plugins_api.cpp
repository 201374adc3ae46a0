// Filter plug-ins: the folder scan and the list of names the host drains.
#include "api/export.h"
#include "exchange/plugin_scan.h"

using namespace plr;

extern "C" {

int32_t PLR_PhotoshopPluginScan(const char* folder) noexcept { return scanPluginsInto(engine().plugins, folder); }

const char* PLR_PhotoshopPluginNextName(void) noexcept {
    return guardedExport<exported::PLR_PhotoshopPluginNextName>([] {
        EngineState& e = engine();
        e.plugins.drainNext(e.pluginName, static_cast<std::int32_t>(sizeof e.pluginName));
        return static_cast<const char*>(e.pluginName);
    });
}

}  // extern "C"
