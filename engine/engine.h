#pragma once
// The one process-wide engine state. Exports reach it through engine();
// tests put it back to the state right after load with resetEngine().
#include <cstdint>

#include "adapters/effects/effect_library.h"
#include "adapters/imaging/drawing_text.h"
#include "brush/spline.h"
#include "brush/tablet.h"
#include "engine/image_brush.h"
#include "core/crt_random.h"
#include "engine/cpu_kernels.h"
#include "engine/devices.h"
#include "engine/page.h"
#include "engine/threading.h"
#include "exchange/plugin_list.h"
#include "exchange/transfer_image.h"
#include "imaging/filters/effect_params.h"
#include "history/undo_budget.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/platform.h"

namespace plr {

struct EngineState {
    platform::HostWindow host;  // module handle, hidden window, display-changed flag
    char lastError[512] = {};
    char startDir[1024] = {};
    char dirInfo[261] = {};  // the text PLR_GetDirInfo returns
    MemoryStatusSource memoryStatusSource = nullptr;  // null: the system's figures (tests put fixed ones)
    platform::MessageSink messageSink = nullptr;       // null: the system's message box (tests catch the texts)
    std::int32_t randomSeed = 0;
    CrtRandom rng;  // the run-time generator every random draw comes from
    CpuKernels kernels = cpuKernelsAtLoad();
    BandSettings bands = bandSettingsAtLoad();  // threads a large page walk may use
    Page page;
    TransferImage transfer;
    FilterState filters;                     // the in-house filters' parameter block and tables
    effect_lib::LibraryState effectLibrary;  // the effect-script library's script and values
    platform::LogFontA font;                 // the font description text is drawn in; zeroed at load
    imaging_lib::TextState text;             // loaded faces and rendered glyphs
    TabletState tablet;                      // the pen tablet's context and last packets
    SplineState spline;                      // the last stroke-smoothing spline
    PluginList plugins;                      // plug-ins scanned and not yet drained
    char pluginName[1024] = {};              // the text PLR_PhotoshopPluginNextName returns
    Devices devices;                         // scanner source, open movie, pictures of the next PDF
    ImageBrush imageBrush;                   // the picture image brushes stamp; outlives the page
};

EngineState& engine() noexcept;
inline Page& page() noexcept { return engine().page; }

// Releases every block the engine owns and returns to the state at load
// (module handle and hidden window kept). For tests.
void resetEngine() noexcept;

}  // namespace plr
