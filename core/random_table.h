#pragma once
// Table of random bytes, rebuilt only when its length, modulus or the seed
// changes, so that a resize with an unchanged seed reuses it.
#include <cstdint>

#include "core/block.h"
#include "core/crt_random.h"

namespace plr {

struct RandomByteTable {
    Block<std::uint8_t> data;
    std::int32_t modulus = 0;
    std::int32_t seed = 0;
    std::int32_t length = 0;
};

// Reuses the table when it matches, otherwise reseeds `rng` with `seed` and
// draws `length` entries, each (draw mod modulus). Raises EngineFailure
// ("MakeRandArrayByte") when the block cannot be had; the table is then empty.
void buildRandomTable(RandomByteTable& table, std::int32_t modulus, std::int32_t length,
                      std::int32_t seed, CrtRandom& rng);

}  // namespace plr
