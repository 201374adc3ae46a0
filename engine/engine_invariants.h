#pragma once
// Consistency of the engine state between two export calls: what a failed
// or refused call must leave intact. For the reliability tests and fuzzers;
// the engine itself never calls it.
#include <string>

namespace plr {

struct EngineState;

// An empty text when every rule holds, else the first rule broken, in words:
// - each side of the page is 0..10000 (a side of 0: no pixels), its row
//   length width * 4;
// - every layer slot, and the paint layer, holds exactly width * height * 4
//   values for the size it records (a layer may be empty: 0 x n), and its
//   row length matches;
// - the current layer names a slot of the table (or none) and its index;
// - the mask plane is empty or one value a pixel;
// - the history's under-layer is empty or page-sized, every entry holds
//   blocks the size of its rectangle, the redo count stays in the levels,
//   and the memory figure equals the under-layer (while it is held)
//   plus what every entry holds;
// - the processing buffers are empty or page-sized (one byte standing for
//   a buffer of a page without pixels);
// - the engine heap has at least as many live blocks as the page holds.
std::string engineInvariantViolation(EngineState& engine);

}  // namespace plr
