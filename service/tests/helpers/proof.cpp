// A program the tests assign to keys: it proves it was started by appending its command line to
// proof.log in its folder, and shows a window (title "Proof") until it is closed.
#include <windows.h>

namespace {

LRESULT CALLBACK ProofProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(h, m, w, l);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char name[MAX_PATH];
    lstrcpyA(name, path);
    while (n > 0 && path[n - 1] != '\\') --n;
    lstrcpyA(path + n, "proof.log");
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        const char* base = name + n;
        WriteFile(f, base, lstrlenA(base), &written, nullptr);
        WriteFile(f, "|", 1, &written, nullptr);
        WriteFile(f, commandLine, lstrlenA(commandLine), &written, nullptr);
        WriteFile(f, "\n", 1, &written, nullptr);
        CloseHandle(f);
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = ProofProc;
    wc.hInstance = instance;
    wc.lpszClassName = "VnProofWindow";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "VnProofWindow", "Proof", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                             instance, nullptr);
    ShowWindow(w, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
