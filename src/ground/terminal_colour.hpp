#pragma once
// Colour on the console. Escape sequences belong only on a terminal that shows them: never in a
// file or a pipe, never when the user asked for none (NO_COLOR set and not empty) or the
// terminal says it cannot (TERM=dumb). A Windows console shows them only once its
// virtual-terminal mode is on, which older consoles refuse.

namespace compattatore {

// Whether colour escapes may be written to the stream with this file descriptor (1 standard
// output, 2 standard error). On a Windows console it also turns the virtual-terminal mode on,
// and says false when the console refuses it. Call it once per stream before writing colour.
bool enable_colour(int fd);

}  // namespace compattatore
