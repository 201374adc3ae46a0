#pragma once
// Hostile call sequences: input bytes decode to exports from the export list
// with random and boundary arguments, on a small page.
//
// Which exports take part (the rule, applied to the export list itself):
// left out are the exports that reach outside the engine — the clipboard,
// the scanner, screen capture, movie and PDF files, plug-ins, the pen
// tablet, windows, dialogs and fonts chosen by the user, the host memory
// services (raw host addresses) and every export taking a text that names a
// file or folder. Texts that name a brush shape or grit source are always
// empty (no file is read).
//
// Arguments: 32-bit values from boundary sets (0, -1, INT_MIN, INT_MAX,
// 10001, off-page coordinates, colour limits) and small random values.
// Sizes (width, height, size, ...) are drawn by what the export does with
// them, and 0, -1 and INT_MIN (and INT_MAX where nothing is allocated by
// it) stay boundary values for every one of them:
// - page sizes (creating, resizing the page, the view): never above 48
//   except 10001 and INT_MAX, which are out of range (a page side out of
//   range becomes 100, a resize to it is refused), so that the page and
//   every page-sized host buffer stay far inside the arena below;
// - layer sizes (PLR_CreateLayer: a layer need not be page-sized): one
//   side may be 10001 or INT_MAX, but never both 10001, whose 800 MB layer
//   outlasts the fuzzer's time limit without finding anything new;
// - the largest brush size: never above 48 (the page holds a larger one to
//   10000 and sizes its brush buffers by it), the brush size itself as a
//   page size (held to the largest brush size);
// - regions inside host buffers: exports given host buffers get only
//   values between -255 and 255 for every integer, so that every buffer
//   they may touch, strides negative or not, lies inside the fuzzer's own
//   arena (such an export reads the buffer it is told it has).
// Pointers are never null except the owner window.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"

namespace plr::fuzz {

// The exports that take part, in export-list order.
int sequenceExportCount();
const char* sequenceExportName(int index);

// Makes a page from the first bytes, then runs up to `maxCalls` calls while
// input is left, checking the engine invariants after each. Returns the
// number of calls made; aborts on a broken invariant. `trace`, when given,
// receives one line per call (name and arguments); `counts`, when given,
// counts the calls of each export (indexed as sequenceExportName).
int runCallSequence(ByteSource& in, int maxCalls, std::string* trace = nullptr, std::vector<int>* counts = nullptr);

}  // namespace plr::fuzz
