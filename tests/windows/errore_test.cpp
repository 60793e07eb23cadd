// Drives the run's closing message boxes as a person would. Each case starts this program again
// as a child that shows Form1 and then calls errore or fail; a watcher thread finds the child's
// message box, reads it and presses OK; the child must then end with the expected status.

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/win32_platform.hpp"
#include "win_check.hpp"

namespace {

int child(const std::string& mode, const std::string& value) {
    compattatore::win32_platform platform;
    platform.show_waiting_window();
    if (mode == "errore") platform.errore(value);
    if (mode == "fail") platform.fail(value, compattatore::exit_status::file_failure);
    return 99;  // an unknown mode; errore and fail never return
}

struct box_case {
    const char* mode;
    const char* value;
    const wchar_t* text;  // what the box must say
    long long status;     // how the child must end once OK is pressed
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) return child(argv[1], argv[2]);

    win_check::recorder r("errore_test");
    const box_case cases[] = {
        {"errore", "1251", L" Errore n. 1251", 1},
        {"errore", "1250", L" Errore n. 1250", 1},
        {"fail", "cannot write C:\\x\\Torino_Piacenza_2063.sim: Access denied",
         L"cannot write C:\\x\\Torino_Piacenza_2063.sim: Access denied", 3},
    };
    // A message box without a caption of its own takes the program's name.
    const std::wstring title = L"errore_test";

    for (const box_case& c : cases) {
        const std::string name = std::string(c.mode) + " " + c.value;
        const std::wstring args =
            compattatore::widen(c.mode) + L" \"" + compattatore::widen(c.value) + L"\"";
        win_check::child_process p = win_check::start(win_check::own_path(), args);
        if (!r.check(p.process != nullptr, name + ": child started")) continue;

        win_check::message_box box;
        HWND form = nullptr;
        std::thread watcher([&] {
            box = win_check::wait_for_box(p.pid, p.process, std::chrono::seconds(20));
            if (box.hwnd != nullptr) {
                form = win_check::find_top_window(p.pid, {}, L"Form1");
                win_check::press_ok(box.hwnd);
            }
        });
        watcher.join();
        const long long status = win_check::finish(p, 20000);

        r.check(box.hwnd != nullptr, name + ": a message box appeared");
        r.equal(box.text, std::wstring(c.text), name + ": message");
        r.equal(box.title, title, name + ": title");
        r.equal(box.visible_buttons, 1, name + ": number of buttons");
        r.check(box.has_ok, name + ": the button is OK");
        r.check(form != nullptr && box.owner == form, name + ": modal to Form1");
        r.equal(status, c.status, name + ": exit status after OK");
    }
    return r.finish();
}
