#pragma once
// Runs one of the author's commands so that whatever escapes it (no memory left, a length the
// library refuses) is one line on stderr and status 4, never an abort.

#include <cstdio>
#include <exception>
#include <new>

#include "ground/exit_status.hpp"
#include "toolkit/toolkit.hpp"

namespace compattatore {

inline int run_toolkit_guarded(int argc, char** argv) {
    try {
        return run_toolkit(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("compattatore: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "compattatore: %s\n", e.what());
    } catch (...) {
        std::fputs("compattatore: unexpected failure\n", stderr);
    }
    return exit_status::failure;
}

}  // namespace compattatore
