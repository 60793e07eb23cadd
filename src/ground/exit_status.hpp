#pragma once
// Exit statuses of the program, shared by the default run and the author's commands.

namespace compattatore {

// Exit statuses of the default run.
namespace exit_status {
inline constexpr int ok = 0;
inline constexpr int errore = 1;        // a closing check stopped the run (" Errore n. ...")
inline constexpr int usage = 2;         // arguments the program does not take
inline constexpr int file_failure = 3;  // a file could not be written, read or deleted
inline constexpr int failure = 4;       // any other failure
}  // namespace exit_status

}  // namespace compattatore
