// quenbol-driver: works a running quenbol window from outside, for the
// screenshot script and smoke runs. It finds the main window, can put a UTF-8
// text file into the text pane, press 全検索, print the count fields, open the
// keyword settings dialog or the About box, save a picture of the window as a
// 24-bit BMP and close the program. For measuring, it can paste a file as a
// user does (the text on the clipboard, Ctrl+A, Ctrl+V), press 全検索 several
// times and type keys at the end of the pane, printing how long each took.
// Every wait has a bound; when one runs out the driver says which and exits 1.
//
//   quenbol-driver [--desktop NAME] [--wait SECONDS] [--text FILE] [--paste FILE]
//                  [--search] [--searches N] [--type N] [--counts]
//                  [--settings | --about] [--capture FILE.bmp] [--close]
//
// The steps run in the order above, whatever the order of the options.
// --desktop names the desktop the program runs on, for example Wine's virtual
// desktop started with "explorer /desktop=NAME,WxH": windows are looked for,
// and the screen is copied, on that desktop. --counts prints the 21 members'
// current counts and the manual words' current count as the fields show them,
// on one line: "counts: N ... N manual: N". Times are wall-clock milliseconds
// from sending the input until the window has handled it and repainted.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/member_rows.h"

namespace {

constexpr DWORD kMessageTimeoutMs = 30000;  // for one message to be handled

DWORD g_wait_ms = 30000;  // for a window to appear or go

std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "quenbol-driver: %s\n", what.c_str());
    std::exit(1);
}

// Polls condition every 100 ms until it holds or g_wait_ms has passed.
template <class Condition>
bool WaitFor(Condition condition) {
    for (DWORD waited = 0;; waited += 100) {
        if (condition()) return true;
        if (waited >= g_wait_ms) return false;
        Sleep(100);
    }
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770" && IsWindowVisible(window);
}

// The main window is known by its controls: its caption changes with each search.
BOOL CALLBACK FindMainWindow(HWND window, LPARAM found) {
    if (IsDialog(window) && GetDlgItem(window, IDC_TEXT) && GetDlgItem(window, IDC_COPY_RESULTS) &&
        GetDlgItem(window, IDC_KEYWORD_SETTINGS)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND MainWindow() {
    HWND found = nullptr;
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

// The dialog owned by the main window: the keyword settings dialog (it holds
// the member list) or the About box (it does not).
BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    if (IsDialog(window) && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND OwnedDialog(HWND main) {
    OwnedSearch search{main, nullptr};
    EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND SettingsDialog(HWND main) {
    HWND dialog = OwnedDialog(main);
    return dialog && GetDlgItem(dialog, IDC_MEMBER_LIST) ? dialog : nullptr;
}

HWND AboutBox(HWND main) {
    HWND dialog = OwnedDialog(main);
    return dialog && !GetDlgItem(dialog, IDC_MEMBER_LIST) ? dialog : nullptr;
}

// A UTF-8 file (with or without a byte-order mark) as UTF-16 with CR LF line
// breaks, as an edit control wants them.
std::wstring ReadUtf8File(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) Fail("cannot open " + Utf8(path));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    std::wstring text;
    if (!bytes.empty()) {
        int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), nullptr, 0);
        if (n == 0) Fail(Utf8(path) + " is not valid UTF-8");
        text.resize(n);
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                            text.data(), n);
    }
    std::wstring crlf;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) crlf += L'\r';
        crlf += text[i];
    }
    return crlf;
}

// Sends a message and waits, at most kMessageTimeoutMs, for it to be handled.
LRESULT SendBounded(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const char* what,
                    DWORD timeout_ms = kMessageTimeoutMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, timeout_ms, &result)) {
        Fail(std::string(what) + ": the window did not answer in time");
    }
    return static_cast<LRESULT>(result);
}

// The text of a control of the window, read with a bounded wait.
std::wstring ItemText(HWND dialog, int id) {
    wchar_t buffer[64] = {};
    SendBounded(GetDlgItem(dialog, id), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer), "reading a field");
    return buffer;
}

// Lets the program finish what it is doing, brings the window to the front
// and repaints it before a picture.
void Settle(HWND window) {
    DWORD process_id = 0;
    DWORD thread_id = GetWindowThreadProcessId(window, &process_id);
    if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, process_id)) {
        WaitForInputIdle(process, 5000);
        CloseHandle(process);
    }
    // Sharing the program's input state lets us activate its window. Wine's
    // virtual desktop on a display without a window manager still paints the
    // caption as inactive, so the active caption is asked for as well.
    AttachThreadInput(GetCurrentThreadId(), thread_id, TRUE);
    SetForegroundWindow(window);
    AttachThreadInput(GetCurrentThreadId(), thread_id, FALSE);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NCACTIVATE, TRUE, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(700);
}

// Copies the window's rectangle of the screen (so the frame and any dialog
// over the window are included) into a bottom-up 24-bit BMP file.
void CaptureWindow(HWND window, const std::wstring& path) {
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) Fail("the window has no area to capture");

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as BMP files store rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int row = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<size_t>(row) * height);
    int rows = GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                         DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied || rows != height) Fail("could not copy the window from the screen");

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    if (!out) Fail("cannot write " + Utf8(path));
    std::printf("captured %dx%d\n", width, height);
}

void ClickLater(HWND dialog, int id) {
    // Posted, not sent: the button may open a modal dialog, and a sent
    // message would then not return until that dialog closed.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

struct Options {
    std::wstring desktop, text_file, paste_file, capture_file;
    bool search = false, counts = false, settings = false, about = false, close = false;
    int searches = 0, keys = 0;
};

double Milliseconds(const LARGE_INTEGER& from) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// Waits for the window's thread to handle what was sent and to repaint.
void Repainted(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendBounded(window, WM_NULL, 0, 0, "waiting for the window");
}

void PutOnClipboard(const std::wstring& text) {
    bool opened = false;
    for (int attempt = 0; attempt < 50 && !(opened = OpenClipboard(nullptr)); ++attempt) Sleep(20);
    if (!opened) Fail("cannot open the clipboard");
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!block) Fail("out of memory for the clipboard");
    memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    if (!SetClipboardData(CF_UNICODETEXT, block)) Fail("the clipboard refused the text");
    CloseClipboard();
}

// Ctrl+A then Ctrl+V in the pane: the characters those keys produce.
void Paste(HWND main_window, const std::wstring& path) {
    const std::wstring text = ReadUtf8File(path);
    PutOnClipboard(text);
    HWND pane = GetDlgItem(main_window, IDC_TEXT);
    SendBounded(pane, EM_SETSEL, 0, -1, "selecting the pane");
    const LARGE_INTEGER start = Now();
    SendBounded(pane, WM_CHAR, 0x16, 1, "pasting", 300000);  // a big paste takes long under Wine
    const double handled = Milliseconds(start);
    Repainted(main_window);
    const double ms = Milliseconds(start);
    const auto length = static_cast<std::size_t>(SendBounded(pane, WM_GETTEXTLENGTH, 0, 0, "reading the length"));
    std::printf("pasted: %zu characters (pane holds %zu) in %.0f ms (handled in %.0f ms)\n", text.size(), length,
                ms, handled);
}

void PressSearch(HWND main_window, int times) {
    for (int i = 1; i <= times; ++i) {
        const LARGE_INTEGER start = Now();
        SendBounded(GetDlgItem(main_window, IDC_SEARCH_ALL), BM_CLICK, 0, 0, "pressing the search button");
        const double handled = Milliseconds(start);  // pull, count, push
        Repainted(main_window);
        std::printf("search %d: %.1f ms (handled in %.1f ms)\n", i, Milliseconds(start), handled);
    }
}

// Types `keys` letters at the end of the pane, one at a time.
void TypeAtEnd(HWND main_window, int keys) {
    HWND pane = GetDlgItem(main_window, IDC_TEXT);
    const LRESULT length = SendBounded(pane, WM_GETTEXTLENGTH, 0, 0, "reading the length");
    SendBounded(pane, EM_SETSEL, length, length, "placing the caret");
    SendBounded(pane, EM_SCROLLCARET, 0, 0, "scrolling to the caret");
    Repainted(main_window);
    for (int i = 1; i <= keys; ++i) {
        const LARGE_INTEGER start = Now();
        SendBounded(pane, WM_CHAR, L'x', 1, "typing");
        const double handled = Milliseconds(start);
        Repainted(pane);
        const double ms = Milliseconds(start);
        const LRESULT now = SendBounded(pane, WM_GETTEXTLENGTH, 0, 0, "reading the length");
        std::printf("key %d: %.1f ms (handled in %.1f ms, %s)\n", i, ms, handled,
                    now > length + i - 1 ? "taken" : "refused");
    }
}

Options ParseArguments() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        bool has_value = i + 1 < argc;
        if (a == L"--desktop" && has_value) {
            o.desktop = argv[++i];
        } else if (a == L"--text" && has_value) {
            o.text_file = argv[++i];
        } else if (a == L"--paste" && has_value) {
            o.paste_file = argv[++i];
        } else if (a == L"--searches" && has_value) {
            o.searches = _wtoi(argv[++i]);
        } else if (a == L"--type" && has_value) {
            o.keys = _wtoi(argv[++i]);
        } else if (a == L"--capture" && has_value) {
            o.capture_file = argv[++i];
        } else if (a == L"--wait" && has_value) {
            g_wait_ms = static_cast<DWORD>(_wtoi(argv[++i])) * 1000;
        } else if (a == L"--search") {
            o.search = true;
        } else if (a == L"--counts") {
            o.counts = true;
        } else if (a == L"--settings") {
            o.settings = true;
        } else if (a == L"--about") {
            o.about = true;
        } else if (a == L"--close") {
            o.close = true;
        } else {
            Fail("usage: quenbol-driver [--desktop NAME] [--wait SECONDS] [--text FILE] [--paste FILE] "
                 "[--search] [--searches N] [--type N] [--counts] [--settings | --about] [--capture FILE.bmp] "
                 "[--close]");
        }
    }
    if (o.settings && o.about) Fail("--settings and --about cannot be used together");
    LocalFree(argv);
    return o;
}

}  // namespace

int main() {
    Options options = ParseArguments();
    if (!options.desktop.empty()) {
        // Waits too: the desktop is created by the process that starts the program.
        HDESK desktop = nullptr;
        if (!WaitFor([&] {
                return (desktop = OpenDesktopW(options.desktop.c_str(), 0, FALSE, GENERIC_ALL)) != nullptr;
            }) ||
            !SetThreadDesktop(desktop)) {
            Fail("cannot use desktop " + Utf8(options.desktop));
        }
    }

    HWND main_window = nullptr;
    if (!WaitFor([&] { return (main_window = MainWindow()) != nullptr; })) Fail("the main window did not appear");
    std::printf("main window found: %s\n", Utf8(WindowText(main_window)).c_str());

    if (!options.text_file.empty()) {
        std::wstring text = ReadUtf8File(options.text_file);
        HWND pane = GetDlgItem(main_window, IDC_TEXT);
        if (!SendBounded(pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), "setting the text")) {
            Fail("the text pane refused the text");
        }
        std::printf("text set: %zu characters\n", text.size());
    }
    if (!options.paste_file.empty()) Paste(main_window, options.paste_file);
    if (options.search) {
        SendBounded(GetDlgItem(main_window, IDC_SEARCH_ALL), BM_CLICK, 0, 0, "pressing the search button");
        std::printf("searched; caption: %s\n", Utf8(WindowText(main_window)).c_str());
    }
    if (options.searches > 0) PressSearch(main_window, options.searches);
    if (options.keys > 0) TypeAtEnd(main_window, options.keys);
    if (options.counts) {
        std::string line = "counts:";
        for (const auto& row : quenbol::kMemberRows) line += " " + Utf8(ItemText(main_window, row.current));
        line += " manual: " + Utf8(ItemText(main_window, IDC_MANUAL_CURRENT));
        std::printf("%s\n", line.c_str());
    }
    HWND dialog = nullptr;  // the settings dialog or the About box, when opened
    if (options.settings) {
        ClickLater(main_window, IDC_KEYWORD_SETTINGS);
        if (!WaitFor([&] { return (dialog = SettingsDialog(main_window)) != nullptr; })) {
            Fail("the keyword settings dialog did not appear");
        }
        std::printf("settings dialog open: %s\n", Utf8(WindowText(dialog)).c_str());
    }
    if (options.about) {
        // The system menu's About item, as the menu sends it; posted because
        // the About box is modal.
        PostMessageW(main_window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        if (!WaitFor([&] { return (dialog = AboutBox(main_window)) != nullptr; })) {
            Fail("the About box did not appear");
        }
        std::printf("About box open: %s\n", Utf8(WindowText(dialog)).c_str());
    }
    if (!options.capture_file.empty()) {
        Settle(dialog ? dialog : main_window);
        CaptureWindow(main_window, options.capture_file);
    }
    if (options.close) {
        if (dialog) {
            ClickLater(dialog, IDOK);
            if (!WaitFor([&] { return !IsWindow(dialog); })) Fail("the dialog over the main window did not close");
        }
        PostMessageW(main_window, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (!WaitFor([&] { return !IsWindow(main_window); })) Fail("the main window did not close");
        std::printf("closed\n");
    }
    return 0;
}
