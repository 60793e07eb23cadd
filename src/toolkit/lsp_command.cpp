#include <iostream>

#include "toolkit/commands.hpp"
#include "toolkit/lsp_server.hpp"

namespace compattatore {

int lsp_command(std::istream& in, std::ostream& out, std::ostream& err) {
    // The editor's bytes as they are: no line-end translation, no sync with C stdio.
    std::ios::sync_with_stdio(false);
    return lsp::serve(in, out, err);
}

}  // namespace compattatore
