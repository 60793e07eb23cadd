#pragma once
// What the Windows test programs share: a small check recorder that prints each failure and a
// closing "N passed, N failed" line, and helpers that find, read and answer another process's
// message box the way a person at the screen would.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace win_check {

inline std::string narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

class recorder {
  public:
    explicit recorder(std::string name) : name_(std::move(name)) {}

    bool check(bool ok, const std::string& what) {
        if (ok) {
            ++passed_;
        } else {
            ++failed_;
            std::printf("%s: FAILED %s\n", name_.c_str(), what.c_str());
        }
        std::fflush(stdout);
        return ok;
    }

    template <class T>
    bool equal(const T& actual, const T& expected, const std::string& what) {
        return check(actual == expected,
                     what + ": got " + show(actual) + ", expected " + show(expected));
    }

    // Prints the closing line; the process exit status is non-zero when any check failed.
    int finish() const {
        std::printf("%s: %d passed, %d failed\n", name_.c_str(), passed_, failed_);
        std::fflush(stdout);
        return failed_ == 0 && passed_ > 0 ? 0 : 1;
    }

  private:
    static std::string show(long long v) { return std::to_string(v); }
    static std::string show(int v) { return std::to_string(v); }
    static std::string show(unsigned long v) { return std::to_string(v); }
    static std::string show(const std::string& v) {
        std::string quoted(1, '"');
        quoted.append(v).push_back('"');
        return quoted;
    }
    static std::string show(const std::wstring& v) { return show(narrow(v)); }

    std::string name_;
    int passed_ = 0;
    int failed_ = 0;
};

inline std::wstring class_name(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

// The text of a window, also one of another process (WM_GETTEXT is marshalled for it).
inline std::wstring window_text(HWND hwnd) {
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        5000, &copied);
    return buffer;
}

inline std::vector<HWND> children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Visible top-level windows of process pid, of the given class ("#32770" is the dialog class
// of message boxes) or with the given title when title is not empty.
inline HWND find_top_window(DWORD pid, std::wstring_view cls, std::wstring_view title = {}) {
    struct query {
        DWORD pid;
        std::wstring_view cls;
        std::wstring_view title;
        HWND found;
    } q{pid, cls, title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& q = *reinterpret_cast<query*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != q.pid || !IsWindowVisible(hwnd)) return TRUE;
            if (!q.cls.empty() && class_name(hwnd) != q.cls) return TRUE;
            if (!q.title.empty() && window_text(hwnd) != q.title) return TRUE;
            q.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&q));
    return q.found;
}

struct message_box {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::wstring title;
    std::wstring text;  // the message: the one static control with text
    int visible_buttons = 0;
    bool has_ok = false;
};

// Waits up to timeout for a message box of process pid and reads it; hwnd stays null when none
// appeared or the process ended first.
inline message_box wait_for_box(DWORD pid, HANDLE process, std::chrono::milliseconds timeout) {
    message_box box;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (HWND hwnd = find_top_window(pid, L"#32770")) {
            // Let the box finish laying itself out before reading it.
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            box.hwnd = hwnd;
            box.owner = GetWindow(hwnd, GW_OWNER);
            box.title = window_text(hwnd);
            for (HWND child : children(hwnd)) {
                if (!IsWindowVisible(child)) continue;
                const std::wstring cls = class_name(child);
                if (_wcsicmp(cls.c_str(), L"Button") == 0) {
                    ++box.visible_buttons;
                    if (GetDlgCtrlID(child) == IDOK) box.has_ok = true;
                } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
                    std::wstring text = window_text(child);
                    if (!text.empty()) box.text = text;
                }
            }
            return box;
        }
        if (process != nullptr && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return box;
}

// Presses OK, as a click on the button does.
inline void press_ok(HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

struct child_process {
    HANDLE process = nullptr;
    DWORD pid = 0;
};

// Starts "program args" in the current directory; process stays null when it cannot start.
inline child_process start(const std::wstring& program, const std::wstring& args) {
    std::wstring command = L"\"" + program + L"\"";
    if (!args.empty()) command += L" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
        return {};
    }
    CloseHandle(pi.hThread);
    return {pi.hProcess, pi.dwProcessId};
}

// The exit status, or -1 when the process did not end within timeout (it is then killed).
inline long long finish(child_process& child, DWORD timeout_ms) {
    long long status = -1;
    if (WaitForSingleObject(child.process, timeout_ms) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(child.process, &code);
        status = code;
    } else {
        TerminateProcess(child.process, 124);
        WaitForSingleObject(child.process, 5000);
    }
    CloseHandle(child.process);
    child.process = nullptr;
    return status;
}

inline std::wstring own_path() {
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return buffer;
}

}  // namespace win_check
