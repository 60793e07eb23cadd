// answer_boxes TIMEOUT PROGRAM: runs PROGRAM (a window program, from the current folder) and
// stands in for the person at the screen: every message box it shows is printed as
// "message box: <title>: <text>" and answered with OK. Ends with the program's exit status, or
// 124 when it has not ended within TIMEOUT seconds (it is then killed).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "win_check.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: answer_boxes TIMEOUT PROGRAM\n");
        return 2;
    }
    const auto timeout = std::chrono::seconds(std::atoi(argv[1]));
    const int n = MultiByteToWideChar(CP_ACP, 0, argv[2], -1, nullptr, 0);
    std::wstring program(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, argv[2], -1, program.data(), n);
    program.resize(static_cast<std::size_t>(n - 1));

    win_check::child_process child = win_check::start(program, L"");
    if (child.process == nullptr) {
        std::fprintf(stderr, "answer_boxes: cannot start %s (error %lu)\n", argv[2],
                     GetLastError());
        return 125;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (WaitForSingleObject(child.process, 0) != WAIT_OBJECT_0 &&
           std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const win_check::message_box box = win_check::wait_for_box(child.pid, child.process, left);
        if (box.hwnd == nullptr) continue;
        std::printf("message box: %s: %s\n", win_check::narrow(box.title).c_str(),
                    win_check::narrow(box.text).c_str());
        std::fflush(stdout);
        win_check::press_ok(box.hwnd);
        // Give the box time to close before looking for the next one.
        for (int i = 0; i < 100 && IsWindow(box.hwnd); ++i) Sleep(50);
    }
    const DWORD left_ms = static_cast<DWORD>(std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                 std::chrono::steady_clock::now())
               .count()));
    const long long status = win_check::finish(child, left_ms);
    return status < 0 ? 124 : static_cast<int>(status);
}
