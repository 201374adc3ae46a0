#pragma once
// Scanning a folder for plug-ins into the plug-in list.
#include <cstdint>

#include "exchange/plugin_list.h"

namespace plr {

// Lists every filter the plug-in modules in `folder` offer (path, category
// and name, in that order); the platform scan's result.
std::int32_t scanPluginsInto(PluginList& list, const char* folder) noexcept;

// The scan's callback: lists one filter and answers 0 so the scan goes on.
// A filter that cannot be listed (no memory) is left out and the last-error
// text says so.
std::int32_t listFoundPlugin(void* list, const char* path, const char* category, const char* name) noexcept;

}  // namespace plr
