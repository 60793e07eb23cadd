// The whole compile: both descriptions from one input, then the cab-code pass, the closing checks
// and the three encoders, all in memory.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace compattatore::fuzzing;
    const compile_input in =
        split_compile_input(std::string_view(reinterpret_cast<const char*>(data), size));
    if (const std::string broken = compile_and_check(in, true); !broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
