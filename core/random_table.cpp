#include "core/random_table.h"

#include "core/failure.h"

namespace plr {

void buildRandomTable(RandomByteTable& table, std::int32_t modulus, std::int32_t length,
                      std::int32_t seed, CrtRandom& rng) {
    if (table.data && table.length == length && table.modulus == modulus && table.seed == seed)
        return;
    table.data.reset();
    rng.seed(static_cast<std::uint32_t>(seed));
    const std::int32_t n = length > 0 ? length : 0;
    need(table.data.allocate(static_cast<std::size_t>(n)), "MakeRandArrayByte");
    // A modulus below 1 would divide by zero; such a table has only zeros.
    const int m = modulus > 0 ? modulus : 1;
    std::uint8_t* out = table.data.data();
    for (std::int32_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(rng.next() % m);
    table.length = length;
    table.modulus = modulus;
    table.seed = seed;
}

}  // namespace plr
