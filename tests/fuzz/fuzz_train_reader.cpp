// The train description reader alone: the input is the train text, read after a small line text
// that compiles cleanly.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace compattatore::fuzzing;
    compile_input in;
    in.line = std::string(fixed_line_text);
    in.train = std::string(reinterpret_cast<const char*>(data), size);
    if (const std::string broken = compile_and_check(in, false); !broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
