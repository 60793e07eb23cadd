// Shows Form1 exactly as the run does and reads it back through the window system: title, client
// area, its one label, the label's font, and that nothing is left to paint.
// "window_test --hold SECONDS" keeps the window up (and serviced) afterwards, for a screenshot.

#include <cwchar>
#include <string>

#include "platform/win32_platform.hpp"
#include "win_check.hpp"

namespace {

// The layout in twips, written out here rather than taken from the program, so a wrong figure
// there shows up as a difference.
int px(int twips, int dpi) {
    return (twips * dpi + 720) / 1440;
}

void hold(int seconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using win_check::narrow;
    win_check::recorder r("window_test");

    HDC screen = GetDC(nullptr);
    const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    std::printf("window_test: display %d x %d dpi\n", dpi_x, dpi_y);

    compattatore::form1_window w;
    try {
        w = compattatore::show_form1_window();
    } catch (const std::exception& e) {
        r.check(false, std::string("show_form1_window threw: ") + e.what());
        return r.finish();
    }

    // The form.
    r.equal(win_check::window_text(w.form), std::wstring(L"Form1"), "title");
    r.check(IsWindowVisible(w.form) != FALSE, "Form1 is visible");
    r.check(GetWindow(w.form, GW_OWNER) == nullptr && GetParent(w.form) == nullptr,
            "Form1 is a top-level window");
    RECT client{};
    GetClientRect(w.form, &client);
    r.equal(static_cast<int>(client.right - client.left), px(4200, dpi_x), "client width");
    r.equal(static_cast<int>(client.bottom - client.top), px(2688, dpi_y), "client height");
    POINT origin{0, 0};
    ClientToScreen(w.form, &origin);
    r.equal(static_cast<int>(origin.x), px(60, dpi_x), "client area left on screen");
    r.equal(static_cast<int>(origin.y), px(348, dpi_y), "client area top on screen");

    // Its only control, Label1.
    const auto controls = win_check::children(w.form);
    r.equal(static_cast<int>(controls.size()), 1, "number of controls");
    r.check(!controls.empty() && controls.front() == w.label, "the control is Label1");
    r.check(_wcsicmp(win_check::class_name(w.label).c_str(), L"Static") == 0,
            "Label1 is a STATIC control, class " + narrow(win_check::class_name(w.label)));
    r.equal(win_check::window_text(w.label), std::wstring(L"Attendere"), "label text");
    RECT label{};
    GetWindowRect(w.label, &label);
    MapWindowPoints(nullptr, w.form, reinterpret_cast<POINT*>(&label), 2);
    r.equal(static_cast<int>(label.left), px(960, dpi_x), "label left");
    r.equal(static_cast<int>(label.top), px(960, dpi_y), "label top");
    r.equal(static_cast<int>(label.right - label.left), px(2652, dpi_x), "label width");
    r.equal(static_cast<int>(label.bottom - label.top), px(792, dpi_y), "label height");
    r.check(IsWindowVisible(w.label) != FALSE, "label is visible");

    // The label's font, as set on the control.
    const auto font = reinterpret_cast<HFONT>(SendMessageW(w.label, WM_GETFONT, 0, 0));
    r.check(font != nullptr, "the label has its own font");
    LOGFONTW lf{};
    if (font != nullptr && GetObjectW(font, sizeof lf, &lf) == sizeof lf) {
        r.equal(std::wstring(lf.lfFaceName), std::wstring(L"MS Sans Serif"), "font face");
        r.equal(static_cast<int>(lf.lfHeight), -((24 * dpi_y + 36) / 72), "font height");
        r.equal(static_cast<int>(lf.lfWeight), 700, "font weight (bold)");
        r.check(!lf.lfItalic && !lf.lfUnderline && !lf.lfStrikeOut, "font is plain bold");
        // What the display actually draws with: a stand-in face is the display's business, but
        // the size and the weight must survive.
        HDC dc = GetDC(w.label);
        HGDIOBJ old = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(w.label, dc);
        std::printf("window_test: drawn with \"%s\", %ld px high, weight %ld\n",
                    narrow(face).c_str(), tm.tmHeight, tm.tmWeight);
        r.check(tm.tmWeight >= 600, "drawn in a bold weight");
    } else {
        r.check(false, "reading the label's font");
    }

    // Painted before the run goes on: nothing waits for a WM_PAINT that would never come.
    r.check(GetUpdateRect(w.form, nullptr, FALSE) == FALSE, "Form1 has nothing left to paint");
    r.check(GetUpdateRect(w.label, nullptr, FALSE) == FALSE, "Label1 has nothing left to paint");

    if (argc == 3 && std::string(argv[1]) == "--hold") hold(std::atoi(argv[2]));
    return r.finish();
}
