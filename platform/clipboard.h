#pragma once
// The system clipboard, holding one device-independent bitmap (CF_DIB).
//
// Windows: the real clipboard. A copy allocates one movable, zero-initialised
// global memory block, lets the caller write the DIB into it while locked,
// then opens the clipboard without an owner window, empties it and hands the
// block over with SetClipboardData(CF_DIB); the clipboard owns the block from
// then on, and the block is freed when any step fails. A paste opens the
// clipboard, locks its CF_DIB block and lets the caller read it in place,
// with the block's size (GlobalSize) as the bound on what may be read.
//
// Portable: a clipboard private to this process holding the same DIB bytes,
// so copy and paste behave alike on every system (other programs do not see
// it). It lives until emptied or replaced; it is not an engine block.
#include <cstddef>
#include <cstdint>

namespace plr::platform {

// Writes the DIB into `block` (`bytes` long, zeroed); false to give up.
using ClipboardWriter = bool (*)(void* context, std::uint8_t* block, std::size_t bytes);
// Reads the DIB at `dib`; at most `bytes` bytes may be read from it.
using ClipboardReader = void (*)(void* context, const std::uint8_t* dib, std::size_t bytes);

// Puts a DIB of `bytes` bytes on the clipboard, written by `write`. True when
// the clipboard took it; false (nothing on the clipboard changed when the
// block could not be had or the writer gave up) otherwise.
bool putClipboardDib(std::size_t bytes, ClipboardWriter write, void* context) noexcept;
// Calls `read` with the clipboard's DIB. False, without calling it, when the
// clipboard cannot be opened or holds no DIB.
bool readClipboardDib(ClipboardReader read, void* context) noexcept;
// Empties the clipboard; true when it could be opened.
bool emptyClipboard() noexcept;

}  // namespace plr::platform
