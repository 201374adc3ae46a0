// One libFuzzer program per entry function: PALORAN_FUZZ_ENTRY names it.
#include "fuzz/fuzz_page.h"
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    plr::fuzz::keepRandomTables();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return plr::fuzz::PALORAN_FUZZ_ENTRY(data, size);
}
