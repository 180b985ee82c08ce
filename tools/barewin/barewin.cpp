// barewin: the least a Win32 window program does (one class, one 318x550
// window, a message loop). The idle benchmark measures it as the baseline.
//
// With /floor it also does the two things any monitor of this shape must do
// and that cost memory in the runtime rather than in the program: it loads the
// common controls and keeps one idle worker thread. That is the floor the
// monitor can be compared against on top of the bare window.
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

DWORD WINAPI IdleWorker(void* stop) {
    ::WaitForSingleObject(static_cast<HANDLE>(stop), INFINITE);
    return 0;
}

// The floor's extras, undone in reverse order when the window has gone.
class Floor {
public:
    // The library is loaded by name so that the plain bare window never has it.
    Floor() : controls_(::LoadLibraryW(L"comctl32.dll")) {
        stop_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (stop_) worker_ = ::CreateThread(nullptr, 0, IdleWorker, stop_, 0, nullptr);
    }
    ~Floor() {
        if (worker_) {
            ::SetEvent(stop_);
            ::WaitForSingleObject(worker_, 5000);
            ::CloseHandle(worker_);
        }
        if (stop_) ::CloseHandle(stop_);
        if (controls_) ::FreeLibrary(controls_);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;

private:
    HMODULE controls_;
    HANDLE stop_ = nullptr;
    HANDLE worker_ = nullptr;
};

int RunWindow(HINSTANCE instance, int show) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BareWindow";
    if (!RegisterClassExW(&wc)) return 1;
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"barewin", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 318, 550, nullptr, nullptr,
                                instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int show) {
    if (cmdLine && std::strstr(cmdLine, "/floor")) {
        Floor floor;
        return RunWindow(instance, show);
    }
    return RunWindow(instance, show);
}
