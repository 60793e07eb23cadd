#pragma once
#include "platform/platform.hpp"

namespace compattatore {

// Stand-in for the window on systems without one: the waiting message goes to standard output,
// errors to standard error.
class console_platform final : public window_platform {
  public:
    void show_waiting_window() override;
    [[noreturn]] void errore(const std::string& a) override;
    [[noreturn]] void fail(const std::string& message, int status) override;
};

}  // namespace compattatore
