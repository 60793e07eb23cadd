#pragma once
// The seam between the run and the window system. The run shows one waiting window and, for the
// two closing checks, a message box; everything else is plain file work. Linux uses a console
// stand-in; Windows builds put the real window behind the same interface.

#include <filesystem>
#include <string>

#include "ground/exit_status.hpp"

namespace compattatore {

class window_platform {
  public:
    virtual ~window_platform() = default;

    // Shows Form1 with its label "Attendere" and paints it at once, before the long work.
    virtual void show_waiting_window() = 0;

    // Shows " Errore n. " followed directly by a, then ends the process. Never returns.
    [[noreturn]] virtual void errore(const std::string& a) = 0;

    // Reports a failure nobody handled (one line of text) and ends the process with status.
    [[noreturn]] virtual void fail(const std::string& message, int status) = 0;
};

// The directory that holds the running executable: every file of the run lives there.
std::filesystem::path application_path(const char* argv0);

}  // namespace compattatore
