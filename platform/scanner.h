#pragma once
// Scanners and cameras: whether acquisition is available, choosing the
// image source, and acquiring one picture as a packed DIB (a 40-byte
// BITMAPINFOHEADER, its colour table, the pixel rows).
//   Windows: TWAIN through EZTW32.dll, loaded at run time and called by
//     ordinal; without it nothing is available and nothing is shown. The
//     source dialog and the acquisition dialogs are the TWAIN source's own.
//   portable: SANE through libsane.so.1, loaded at run time; without it, or
//     with no device, nothing is available. There is no dialog: selecting
//     the source picks the device named by the environment variable
//     PALORAN_SCANNER when that device exists, otherwise the first device
//     SANE lists; acquiring scans one picture from the selected device (the
//     first one when none was selected) with the device's current options.
#include <functional>
#include <string>

namespace plr::platform {

bool scannerAvailable();
// True when a source was chosen; `source` receives its name (portable) or
// stays empty (Windows: the TWAIN manager remembers the choice).
bool selectScannerSource(void* owner, std::string& source);
// Acquires one picture from `source` (empty: the default) and hands it to
// `take` as a packed DIB, valid during the call. False when nothing was
// acquired (`take` not called).
bool acquireScannedPicture(void* owner, const std::string& source, const std::function<void(const void* dib)>& take);

}  // namespace plr::platform
