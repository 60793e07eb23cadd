#pragma once
// The run's window on Windows: Form1 with its one label, and the message boxes that end the run.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/platform.hpp"

namespace compattatore {

// Form1 was laid out in twips (1/1440 inch); it is converted to pixels at the display's DPI so
// the window has the same physical size on every display.
namespace form1_layout {
inline constexpr int client_left = 60;
inline constexpr int client_top = 348;
inline constexpr int client_width = 4200;
inline constexpr int client_height = 2688;
inline constexpr int label_left = 960;
inline constexpr int label_top = 960;
inline constexpr int label_width = 2652;
inline constexpr int label_height = 792;
inline constexpr int label_points = 24;
inline constexpr const wchar_t* title = L"Form1";
inline constexpr const wchar_t* label_text = L"Attendere";
inline constexpr const wchar_t* label_font = L"MS Sans Serif";
}  // namespace form1_layout

// twips * dpi / 1440, rounded to the nearest pixel.
int twips_to_pixels(int twips, int dpi);

// The handles of a shown Form1. The window lives until the process ends.
struct form1_window {
    HWND form = nullptr;
    HWND label = nullptr;  // Label1, a STATIC control
    HFONT font = nullptr;
};

// Creates Form1 and Label1, shows the window without making it modal and paints it at once, so
// "Attendere" is on screen before the long work starts. Throws std::runtime_error when the
// window system refuses a step.
form1_window show_form1_window();

// The running executable's full path, or an empty path when the system gives none.
std::filesystem::path module_path();

// The title of a message box that sets none of its own: the executable's name without its
// extension.
std::wstring default_message_title();

// Text for the window system: UTF-8 when it is valid UTF-8, else the ANSI code page.
std::wstring widen(std::string_view text);

class win32_platform final : public window_platform {
  public:
    void show_waiting_window() override;
    [[noreturn]] void errore(const std::string& a) override;
    [[noreturn]] void fail(const std::string& message, int status) override;

  private:
    form1_window window_;
};

}  // namespace compattatore
