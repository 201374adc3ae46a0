#pragma once
// Page set-up and the closing checks the engine-level fuzz targets share.
#include <cstdint>

namespace plr::fuzz {

// The engine as after load (messages go nowhere: no box waits for a user),
// then a width x height page with `layers` layers from slot 1 on, the last
// one current and painted with a gradient so that filters have work to do.
void freshPage(std::int32_t width, std::int32_t height, std::int32_t layers);

// The fuzz programs keep the page's two random tables (a million draws
// each, the bulk of making a page) from one input to the next: the tables
// and the generator's state after drawing them are put back exactly as a
// fresh engine would make them. Off in the test suite, whose fixture
// counts every block alive.
void keepRandomTables();

// Aborts, naming the rule and `after`, when an engine invariant is broken.
void checkInvariants(const char* after);

// Deletes the page, checks that the page holds nothing, resets the engine
// and checks that no engine block is left alive; aborts otherwise.
void finishPage();

}  // namespace plr::fuzz
