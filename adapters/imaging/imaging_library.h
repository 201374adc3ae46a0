#pragma once
// The imaging library the engine is written against: file codecs, bitmap
// conversion, raster operations, drawing, compression and filters. The
// engine calls these functions by their library names (without the leading
// underscore); each family lives in its own file here and is implemented by
// our own code. Conventions shared by every call:
//   - a raster is a top-row pointer, width, height, bytes per pixel (1, 2, 3,
//     4 or 8) and a row stride in bytes;
//   - a colour is one packed 32-bit value, an opacity a double (1.0 = copy);
//   - every call returns nonzero on success; on zero the caller abandons
//     the operation.
#include "adapters/imaging/compression.h"
#include "adapters/imaging/raster.h"
