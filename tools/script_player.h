#pragma once
#include <cstdio>
#include <string>

#include "paint_script.h"
#include "painter.h"

namespace plr::host {

// "SelectBrush" brush, slot, actions: the actions are flags of this host.
enum SelectActions : int {
    kOpenMask = 1,   // open the whole selection mask first
    kCloseMask = 2,  // close the whole selection mask first (paint it open with the mask brush)
};

struct PlayResult {
    bool ok = true;
    std::string error;  // "line N: reason" when a record cannot be honoured
    int skipped = 0;    // records the host cannot honour
};

// Plays every record of `script` through `painter`. Records this host
// cannot honour are reported once on `log` and skipped.
PlayResult playScript(const PaintScript& script, Painter& painter, std::FILE* log);

}  // namespace plr::host
