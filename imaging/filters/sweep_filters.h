#pragma once
// The sweep effects' two paths: the plain per-pair rule in double precision
// (the reference, read it to see the rule) and the table-driven path the
// engine runs. They give the same bytes; a test holds them to it.
#include <cstdint>

namespace plr {

struct EffectParams;
struct SweepTables;

enum class SweepKind { ValueBlur, NoiseReduction, NoiseReductionRgb, AntiAlias };

// Sets keepDestination, derives the weights (Noise Reduction's
// 1 - P * 0.5 written back into the block) and runs the eight sweeps: with
// `fastTables` the table-driven path (the tables rebuilt for this run),
// without them the reference.
void runSweep(EffectParams& e, SweepKind kind, SweepTables* fastTables);

}  // namespace plr
