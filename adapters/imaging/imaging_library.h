#pragma once
// The imaging library the engine is written against: bitmap conversion,
// raster operations, drawing, compression and filters (file reading and
// writing live with the file formats, exchange/formats). The engine calls
// these functions by their library names (without the leading underscore);
// each family lives in files named after it here and is implemented by our
// own code:
//   raster.h         overlay, channel order     raster_resize.h  resampling
//   raster_geometry.h crop, flips, turns        filter_kernels.h the 14 kernels
//   raster_channels.h split, combine, tables    raster_grey.h    grey conversion
//   bitmap.h         DIBs (bitmap_win32.h: GDI) seam_carve.h     seam carving
//   drawing.h        solid shapes               compression.h    deflate
//   drawing_fill.h   flood fill, colour replace, colour-match map
//   filters_blur*.h  blurs                      library_life.h   start and end
//   filters_smooth.h  smoothing, mean and rank   filters_tone.h   tone and colour
//   filters_sharpen.h sharpening, edges, relief  filters_noise.h  noise, texture
//   filters_artistic.h painterly renderings, glows
// OpenCV (core, imgproc) stands behind the standard operations; its headers
// stay inside the .cpp files (cv_raster.h holds what they share).
// Conventions shared by every call:
//   - a raster is a top-row pointer, width, height, bytes per pixel (1, 2, 3,
//     4 or 8) and a row stride in bytes;
//   - a colour is one packed 32-bit value, an opacity a double (1.0 = copy);
//   - every call returns nonzero on success; on zero the caller abandons
//     the operation.
#include "adapters/imaging/bitmap.h"
#include "adapters/imaging/compression.h"
#include "adapters/imaging/drawing.h"
#include "adapters/imaging/drawing_fill.h"
#include "adapters/imaging/filters_blur.h"
#include "adapters/imaging/filters_blur_plane.h"
#include "adapters/imaging/library_life.h"
#include "adapters/imaging/filters_artistic.h"
#include "adapters/imaging/filters_noise.h"
#include "adapters/imaging/filters_sharpen.h"
#include "adapters/imaging/filters_smooth.h"
#include "adapters/imaging/filters_tone.h"
#include "adapters/imaging/raster.h"
#include "adapters/imaging/raster_channels.h"
#include "adapters/imaging/raster_geometry.h"
#include "adapters/imaging/raster_grey.h"
#include "adapters/imaging/raster_resize.h"
#include "adapters/imaging/seam_carve.h"
