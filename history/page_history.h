#pragma once
// The page as the history sees it: the layers' page and the undo history.
#include "history/history_state.h"
#include "layers/page_layers.h"

namespace plr {

struct PageHistory : PageLayers {
    History history;
};

}  // namespace plr
