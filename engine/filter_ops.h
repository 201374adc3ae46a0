#pragma once
// The operations of the named filters, one function per catalogue block.
// Each receives the run with its buffers set by the pipeline the catalogue
// names (run.in, run.out, run.bytesPerPixel) and answers whether the
// library call succeeded; the pipeline then loads the result. The "own"
// operations drive their steps themselves and answer false.
#include "engine/filter_run.h"

namespace plr::filter_ops {

using Operation = bool (*)(FilterRun&);
// The operation of a catalogue row that runs nothing yet.
inline constexpr Operation none = nullptr;

// Blur and smoothing.
bool blur(FilterRun&);
bool blurMore(FilterRun&);
bool gaussianBlur(FilterRun&);
bool motionBlur(FilterRun&);
bool radialBlur(FilterRun&);
bool zoomBlur(FilterRun&);
bool surfaceBlur(FilterRun&);
bool despeckle(FilterRun&);
bool dustAndScratches(FilterRun&);
bool arithmeticMean(FilterRun&);
bool midpoint(FilterRun&);
bool geometricMean(FilterRun&);
bool harmonicMean(FilterRun&);
bool maximum2(FilterRun&);
bool minimum2(FilterRun&);
bool median(FilterRun&);
bool maximum(FilterRun&);
bool minimum(FilterRun&);

// Tone and colour.
bool brightnessContrast(FilterRun&);
bool gamma(FilterRun&);
bool histogramEqualize(FilterRun&);
bool histogramEqualizeChannels(FilterRun&);
bool histogramStretch(FilterRun&);
bool histogramStretchChannels(FilterRun&);
bool brightnessStretchHsl(FilterRun&);
bool colorize(FilterRun&);
bool colourBalance(FilterRun&);
bool adjustHsl(FilterRun&);
bool adjustHsv(FilterRun&);
bool duotone(FilterRun&);
bool grayscale(FilterRun&);
bool hyperSaturation(FilterRun&);
bool negative(FilterRun&);
bool posterize(FilterRun&);
bool solarize(FilterRun&);
bool threshold(FilterRun&);
bool tint(FilterRun&);
bool watercolorTint(FilterRun&);
bool deinterlace(FilterRun&);
bool hdri(FilterRun&);
bool glowInner(FilterRun&);
bool glowOuter(FilterRun&);

// Sharpen, edges and relief.
bool sharpen(FilterRun&);
bool sharpenMore(FilterRun&);
bool unsharpMask(FilterRun&);
bool bevel(FilterRun&);
bool crackle(FilterRun&);
bool emboss(FilterRun&);
bool fingerprint(FilterRun&);
bool edge2(FilterRun&);
bool edge(FilterRun&);
bool bump(FilterRun&);
bool emboss2(FilterRun&);

// Noise and texture.
bool addGaussianNoise(FilterRun&);
bool addUniformNoise(FilterRun&);
bool addNegativeExpNoise(FilterRun&);
bool addRayleighNoise(FilterRun&);
bool halftone(FilterRun&);
bool mosaic(FilterRun&);
bool colorNoise(FilterRun&);
bool hugoNoise(FilterRun&);
bool perlinNoise(FilterRun&);
bool oilPaint(FilterRun&);
bool stipple(FilterRun&);
bool gausy(FilterRun&);
bool scribble(FilterRun&);

// Composites: chains of in-house and library filters, most ending in a
// blend-mode merge; levels; frosted glass.
bool charcoal(FilterRun&);
bool colorPencil(FilterRun&);
bool colorPencil2(FilterRun&);
bool crayon(FilterRun&);
bool pointillism(FilterRun&);
bool watercolorAndInk(FilterRun&);
bool levels(FilterRun&);
bool contrastMask(FilterRun&);
bool photoPopFilter(FilterRun&);
bool photoDetailer(FilterRun&);
bool radiant(FilterRun&);
bool radiant2(FilterRun&);
bool dropShadow(FilterRun&);
bool frostedGlass(FilterRun&);
bool glow(FilterRun&);
bool edge3(FilterRun&);
bool emboss3(FilterRun&);
bool outliner1(FilterRun&);
bool outliner2(FilterRun&);

// Flips of the current layer, masks, scripts.
bool horizontalFlip(FilterRun&);
bool verticalFlip(FilterRun&);
bool maskGenerateHsl(FilterRun&);
bool maskDetailClear(FilterRun&);
bool luaFilter(FilterRun&);
bool plugInFilter(FilterRun&);

// Distortions: the transform list, the polygon warps, the effects with
// alpha transport and the pattern builder.
bool elliptical(FilterRun&);
bool lens(FilterRun&);
bool marble(FilterRun&);
bool offset(FilterRun&);
bool pinch(FilterRun&);
bool ripple(FilterRun&);
bool spin(FilterRun&);
bool spinWave(FilterRun&);
bool wave(FilterRun&);
bool wow(FilterRun&);
bool zigZag(FilterRun&);
bool perspective(FilterRun&);
bool warp(FilterRun&);
bool warpEdge(FilterRun&);
bool warp3Point(FilterRun&);
bool stretch(FilterRun&);
bool stretchEdge(FilterRun&);
bool verticalPivot(FilterRun&);
bool horizontalPivot(FilterRun&);
bool skew(FilterRun&);
bool twirl(FilterRun&);
bool sineDistortion(FilterRun&);
bool kaleidoscope(FilterRun&);
bool scratch(FilterRun&);
bool waves(FilterRun&);
bool divider(FilterRun&);
bool carpet(FilterRun&);
bool glass(FilterRun&);
bool voxel(FilterRun&);
bool zoom(FilterRun&);
bool rotate(FilterRun&);
bool tilt(FilterRun&);
bool seamless(FilterRun&);
bool patternizer(FilterRun&);

// Generators (filter_ops_generate.cpp).
bool lines(FilterRun&);
bool points(FilterRun&);
bool circles(FilterRun&);
bool rectangles(FilterRun&);
bool splines(FilterRun&);
bool worms(FilterRun&);
bool fibers(FilterRun&);
bool trees(FilterRun&);
bool generateNoise(FilterRun&);
bool blobs(FilterRun&);
bool plasma(FilterRun&);
bool sinePlasma(FilterRun&);
bool fractalPlasma(FilterRun&);
bool generatePerlinNoise(FilterRun&);
bool patternGenerator(FilterRun&);

// Pattern builder and texture filters (filter_ops_texture.cpp).
bool patternExplorer(FilterRun&);
bool backgrounds(FilterRun&);
bool texturizeEmboss(FilterRun&);
bool texturizeBump(FilterRun&);
bool displacementBumpFilter(FilterRun&);

}  // namespace plr::filter_ops
