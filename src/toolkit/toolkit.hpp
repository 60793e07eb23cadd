#pragma once
// The author's toolkit: the commands the program runs when it is given arguments (compile your
// own descriptions, write the scenario's sources, inspect and plot simulator files).

namespace compattatore {

// Parses the command line and runs one command. Returns the process exit status: 0 done, 1 the
// descriptions have errors, 2 usage or file errors.
int run_toolkit(int argc, char** argv);

}  // namespace compattatore
