// A Windows-side helper for the whole-program test: finds Portwright's window
// and message boxes, reads what they show and presses what a person would
// press, all with ordinary window messages. One command a run; prints lines
// of UTF-8 on stdout and exits non-zero with a sentence on stderr on failure.
//
//   pwdrive wait-window TIMEOUT_MS     until the main window is visible
//   pwdrive texts                      "ID<TAB>text" for every child window
//                                      and every label the window paints
//   pwdrive focus                      ID of the control with the focus
//   pwdrive visible                    1 when the main window is visible, else 0
//   pwdrive close                      closes the main window (its close box)
//   pwdrive geometry                   window, client and screen sizes, styles
//   pwdrive click ID                   presses a button (posted, never waits)
//   pwdrive settext ID TEXT            assigns a text box's text
//   pwdrive msgbox TIMEOUT_MS [ok]     waits for a message box, prints title,
//                                      text, buttons and icon; "ok" closes it
//   pwdrive no-msgbox MS               fails if a message box shows within MS
//   pwdrive wait-gone TIMEOUT_MS       until Portwright's window is gone
//   pwdrive startup-ms EXE CLASS       starts EXE, prints the milliseconds until
//                                      a visible window of CLASS shows, closes it
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "app/ControlId.h"
#include "ui/win32/Win32Form.h"

namespace {

const wchar_t kDialogClass[] = L"#32770";

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr,
                        nullptr);
    return out;
}

std::wstring Wide(const char* utf8) {
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), L'\0');
    if (size > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &out[0], size);
    return out;
}

int Fail(const char* what) {
    std::fprintf(stderr, "pwdrive: %s\n", what);
    return 1;
}

// WM_GETTEXT reaches into the other process; GetWindowText would not.
std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::vector<wchar_t> buffer(length + 1);
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    return std::wstring(buffer.data(), copied);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND MainWindow() { return FindWindowW(pw::kMainWindowClass, nullptr); }

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A message box of the Portwright process (the main window may still be
// hidden: boxes of Form_Load come first).
HWND FindMessageBox() {
    HWND main = MainWindow();
    if (!main) return nullptr;
    DWORD portwright = 0;
    GetWindowThreadProcessId(main, &portwright);
    for (HWND box = FindWindowExW(nullptr, nullptr, kDialogClass, nullptr); box;
         box = FindWindowExW(nullptr, box, kDialogClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner == portwright && IsWindowVisible(box)) return box;
    }
    return nullptr;
}

template <typename Found>
bool WaitFor(DWORD timeoutMs, Found found) {
    const DWORD start = GetTickCount();
    while (!found()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

HWND ControlById(int id) {
    HWND main = MainWindow();
    return main ? GetDlgItem(main, id) : nullptr;
}

int WaitWindow(DWORD timeoutMs) {
    if (!WaitFor(timeoutMs, [] {
            HWND w = MainWindow();
            return w && IsWindowVisible(w);
        }))
        return Fail("Portwright's window did not show in time");
    std::printf("shown\n");
    return 0;
}

using pw::kFirstControlId;
using pw::kLabelCaptionMessage;
constexpr int kLastControlId = kFirstControlId + static_cast<int>(pw::kControlCount) - 1;

std::wstring g_caption;

LRESULT CALLBACK CaptionReceiver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    g_caption.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    return TRUE;
}

int Texts() {
    HWND main = MainWindow();
    if (!main) return Fail("Portwright's window is not there");
    std::printf("0\t%s\n", Utf8(TextOf(main)).c_str());
    for (HWND child : Children(main))
        std::printf("%d\t%s\n", GetDlgCtrlID(child), Utf8(TextOf(child)).c_str());

    WNDCLASSW receiverClass{};
    receiverClass.lpfnWndProc = CaptionReceiver;
    receiverClass.hInstance = GetModuleHandleW(nullptr);
    receiverClass.lpszClassName = L"PwdriveCaptionReceiver";
    HWND receiver = RegisterClassW(&receiverClass)
                        ? CreateWindowW(receiverClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, receiverClass.hInstance, nullptr)
                        : nullptr;
    if (!receiver) return Fail("cannot make a window to receive the labels' captions");
    int labels = 0;
    for (int id = kFirstControlId; id <= kLastControlId; ++id) {
        DWORD_PTR answered = FALSE;
        g_caption.clear();
        if (!SendMessageTimeoutW(main, kLabelCaptionMessage, static_cast<WPARAM>(id),
                                 reinterpret_cast<LPARAM>(receiver), SMTO_ABORTIFHUNG, 5000, &answered))
            return Fail("Portwright's window did not answer for its labels");
        if (!answered) continue;
        std::printf("%d\t%s\n", id, Utf8(g_caption).c_str());
        ++labels;
    }
    DestroyWindow(receiver);
    if (labels == 0) return Fail("Portwright's window named no label");
    return 0;
}

int Focus() {
    HWND main = MainWindow();
    if (!main) return Fail("Portwright's window is not there");
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info))
        return Fail("cannot read the focus of Portwright's thread");
    std::printf("%d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    return 0;
}

int Visible() {
    HWND main = MainWindow();
    if (!main) return Fail("Portwright's window is not there");
    std::printf("%d\n", IsWindowVisible(main) ? 1 : 0);
    return 0;
}

int Close() {
    HWND main = MainWindow();
    if (!main) return Fail("Portwright's window is not there");
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

int Geometry() {
    HWND main = MainWindow();
    if (!main) return Fail("Portwright's window is not there");
    RECT window, client;
    GetWindowRect(main, &window);
    GetClientRect(main, &client);
    const LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
    std::printf("window %ld %ld %ld %ld\n", window.left, window.top, window.right, window.bottom);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::printf("thickframe %d minimizebox %d maximizebox %d sysmenu %d\n", (style & WS_THICKFRAME) != 0,
                (style & WS_MINIMIZEBOX) != 0, (style & WS_MAXIMIZEBOX) != 0, (style & WS_SYSMENU) != 0);
    return 0;
}

int Click(int id) {
    HWND button = ControlById(id);
    if (!button) return Fail("no such control in Portwright's window");
    // Posted: the click may open a modal box, and a sent message would wait for it.
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return 0;
}

int SetText(int id, const char* text) {
    HWND box = ControlById(id);
    if (!box) return Fail("no such control in Portwright's window");
    const std::wstring wide = Wide(text);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG,
                             2000, &result)) {
        // A Change handler may have opened a modal box; that is the caller's to check.
        std::printf("pending\n");
    }
    return 0;
}

int MessageBoxCommand(DWORD timeoutMs, bool pressOk) {
    HWND box = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (box = FindMessageBox()) != nullptr; }))
        return Fail("no message box of Portwright showed in time");
    Sleep(100);  // let the box finish laying itself out
    std::printf("title\t%s\n", Utf8(TextOf(box)).c_str());
    HWND okButton = nullptr;
    bool icon = false;
    for (HWND child : Children(box)) {
        if (!IsWindowVisible(child)) continue;
        const std::wstring kind = ClassOf(child);
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            std::printf("button\t%s\n", Utf8(TextOf(child)).c_str());
            if (GetDlgCtrlID(child) == IDOK) okButton = child;
        } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                icon = icon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
            } else {
                const std::wstring text = TextOf(child);
                if (!text.empty()) {
                    std::string line;
                    for (char c : Utf8(text))
                        line += c == '\r'   ? std::string("<CR>")
                                : c == '\n' ? std::string("<LF>")
                                            : std::string(1, c);
                    std::printf("text\t%s\n", line.c_str());
                }
            }
        }
    }
    std::printf("icon\t%s\n", icon ? "yes" : "no");
    if (pressOk) {
        if (!okButton) return Fail("the message box has no OK button");
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(okButton));
        if (!WaitFor(5000, [&] { return !IsWindow(box); }))
            return Fail("the message box did not close on OK");
    }
    return 0;
}

int NoMessageBox(DWORD ms) {
    if (WaitFor(ms, [] { return FindMessageBox() != nullptr; })) return Fail("a message box showed");
    std::printf("none\n");
    return 0;
}

int WaitGone(DWORD timeoutMs) {
    if (!WaitFor(timeoutMs, [] { return MainWindow() == nullptr; }))
        return Fail("Portwright's window is still there");
    std::printf("gone\n");
    return 0;
}

struct ProcessWindow {
    DWORD process;
    const wchar_t* windowClass;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM data) {
    auto* want = reinterpret_cast<ProcessWindow*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == want->process && IsWindowVisible(window) && ClassOf(window) == want->windowClass) {
        want->found = window;
        return FALSE;
    }
    return TRUE;
}

int StartupMs(const char* exe, const char* windowClass) {
    std::wstring command = L"\"" + Wide(exe) + L"\"";
    const std::wstring wantedClass = Wide(windowClass);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return Fail("cannot start the program");
    ProcessWindow wanted{process.dwProcessId, wantedClass.c_str(), nullptr};
    const bool shown = WaitFor(60000, [&] {
        EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&wanted));
        return wanted.found != nullptr;
    });
    QueryPerformanceCounter(&end);
    if (shown) PostMessageW(wanted.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!shown) return Fail("the program showed no window of that class within a minute");
    std::printf("%.1f\n", 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    auto number = [&](int i) { return argc > i ? std::strtol(argv[i], nullptr, 10) : 0L; };
    if (command == "wait-window" && argc == 3) return WaitWindow(static_cast<DWORD>(number(2)));
    if (command == "texts") return Texts();
    if (command == "focus") return Focus();
    if (command == "geometry") return Geometry();
    if (command == "visible") return Visible();
    if (command == "close") return Close();
    if (command == "click" && argc == 3) return Click(static_cast<int>(number(2)));
    if (command == "settext" && argc == 4) return SetText(static_cast<int>(number(2)), argv[3]);
    if (command == "msgbox" && (argc == 3 || argc == 4))
        return MessageBoxCommand(static_cast<DWORD>(number(2)), argc == 4 && std::string(argv[3]) == "ok");
    if (command == "no-msgbox" && argc == 3) return NoMessageBox(static_cast<DWORD>(number(2)));
    if (command == "wait-gone" && argc == 3) return WaitGone(static_cast<DWORD>(number(2)));
    if (command == "startup-ms" && argc == 4) return StartupMs(argv[2], argv[3]);
    std::fprintf(stderr,
                 "pwdrive: unknown command or wrong arguments; see the comment at the top of pwdrive.cpp\n");
    return 2;
}
