#include "platform/win32_platform.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace compattatore {

namespace {

constexpr const wchar_t* form_class = L"compattatore.Form1";
// Form1 has the frame of an ordinary top-level window: caption, system menu, sizable border.
constexpr DWORD form_style = WS_OVERLAPPEDWINDOW;
constexpr DWORD form_ex_style = 0;

LRESULT CALLBACK form_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

[[noreturn]] void refused(const char* what) {
    throw std::runtime_error(std::string("the window system refused to ") + what + " (error " +
                             std::to_string(GetLastError()) + ")");
}

void register_form_class(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = form_procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = form_class;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        refused("register the window class");
    }
}

struct display_dpi {
    int x = 96;
    int y = 96;
};

display_dpi screen_dpi() {
    display_dpi dpi;
    if (HDC dc = GetDC(nullptr)) {
        dpi.x = GetDeviceCaps(dc, LOGPIXELSX);
        dpi.y = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
    }
    return dpi;
}

[[noreturn]] void end_process(int status) {
    std::fflush(nullptr);
    std::exit(status);
}

}  // namespace

int twips_to_pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

form1_window show_form1_window() {
    using namespace form1_layout;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    register_form_class(instance);
    const display_dpi dpi = screen_dpi();

    // The layout fixes the client area; the frame goes around it.
    RECT frame{twips_to_pixels(client_left, dpi.x), twips_to_pixels(client_top, dpi.y), 0, 0};
    frame.right = frame.left + twips_to_pixels(client_width, dpi.x);
    frame.bottom = frame.top + twips_to_pixels(client_height, dpi.y);
    if (!AdjustWindowRectEx(&frame, form_style, FALSE, form_ex_style)) {
        refused("size the window frame");
    }

    form1_window w;
    w.form = CreateWindowExW(form_ex_style, form_class, title, form_style, frame.left, frame.top,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             instance, nullptr);
    if (w.form == nullptr) refused("create the window");

    w.label =
        CreateWindowExW(0, L"STATIC", label_text, WS_CHILD | WS_VISIBLE | SS_LEFT,
                        twips_to_pixels(label_left, dpi.x), twips_to_pixels(label_top, dpi.y),
                        twips_to_pixels(label_width, dpi.x), twips_to_pixels(label_height, dpi.y),
                        w.form, nullptr, instance, nullptr);
    if (w.label == nullptr) refused("create the label");

    w.font = CreateFontW(-MulDiv(label_points, dpi.y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, label_font);
    if (w.font == nullptr) refused("create the label's font");
    SendMessageW(w.label, WM_SETFONT, reinterpret_cast<WPARAM>(w.font), FALSE);

    ShowWindow(w.form, SW_SHOWNORMAL);
    // The run does not service the window while it works: paint now or never.
    UpdateWindow(w.form);
    return w;
}

std::filesystem::path module_path() {
    // A path that fills the buffer may have been cut: try again with twice the room.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring default_message_title() {
    const std::filesystem::path self = module_path();
    return self.empty() ? L"compattatore" : self.stem().wstring();
}

std::wstring widen(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    UINT code_page = CP_UTF8;
    int n = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n == 0) {
        code_page = CP_ACP;
        n = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
    }
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), size, wide.data(), n);
    return wide;
}

void win32_platform::show_waiting_window() {
    window_ = show_form1_window();
}

void win32_platform::errore(const std::string& a) {
    const std::wstring text = L" Errore n. " + widen(a);
    MessageBoxW(window_.form, text.c_str(), default_message_title().c_str(), MB_OK);
    end_process(exit_status::errore);
}

void win32_platform::fail(const std::string& message, int status) {
    // Also on standard error, for whoever started the program from a console.
    std::fprintf(stderr, "compattatore: %s\n", message.c_str());
    MessageBoxW(window_.form, widen(message).c_str(), default_message_title().c_str(),
                MB_OK | MB_ICONERROR);
    end_process(status);
}

}  // namespace compattatore
