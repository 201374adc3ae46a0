#pragma once
#include "paint_script.h"

namespace plr::host {

// The demo picture as a paint script for a width x height page: a small
// landscape that uses every built-in brush, both special layers, the paper
// texture and a mask selection. `paloran demo` plays it; the same script
// ships as data/demo.srp so that `paloran replay` reproduces the picture.
PaintScript demoScript(int width, int height, int seed);

}  // namespace plr::host
