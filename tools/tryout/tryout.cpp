// The run command's own window: holds the focus for the service's input hook and lists the keys
// to try. Closing it unloads the service as its tray menu's "Unload" would.
#include <windows.h>

#include <string>
#include <vector>

#include "tools/tryout/tryout.h"

namespace {

constexpr UINT kAppExit = 57665;  // the service's exit command
constexpr int kMargin = 18, kRow = 24;
const int kColumns[] = {kMargin, 210, 470};

HFONT g_font = nullptr, g_bold = nullptr;

std::wstring Text(UINT id) {
    const wchar_t* p = nullptr;
    int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&p), 0);
    return n > 0 ? std::wstring(p, static_cast<size_t>(n)) : std::wstring();
}

std::vector<std::wstring> Split(const std::wstring& s, wchar_t sep) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t at; (at = s.find(sep, start)) != std::wstring::npos; start = at + 1) parts.push_back(s.substr(start, at - start));
    parts.push_back(s.substr(start));
    return parts;
}

// Draws wrapped text in the given width from y on; returns the y below it.
int Paragraph(HDC dc, const std::wstring& text, int y, int width) {
    RECT r{kMargin, y, kMargin + width, y + 400};
    DrawTextW(dc, text.c_str(), -1, &r, DT_WORDBREAK | DT_CALCRECT);
    DrawTextW(dc, text.c_str(), -1, &r, DT_WORDBREAK);
    return r.bottom;
}

void Paint(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT client;
    GetClientRect(w, &client);
    const int width = client.right - 2 * kMargin;
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, g_font);
    int y = Paragraph(dc, Text(IDS_INTRO), kMargin, width) + kRow / 2;
    SelectObject(dc, g_bold);
    const wchar_t* heads[] = {L"Key", L"xdotool key", L"What you see"};
    for (int c = 0; c < 3; ++c) TextOutW(dc, kColumns[c], y, heads[c], lstrlenW(heads[c]));
    y += kRow;
    SelectObject(dc, g_font);
    for (const std::wstring& line : Split(Text(IDS_KEYS), L'\n')) {
        std::vector<std::wstring> cells = Split(line, L'\t');
        for (size_t c = 0; c < cells.size() && c < 3; ++c)
            TextOutW(dc, kColumns[c], y, cells[c].c_str(), static_cast<int>(cells[c].size()));
        y += kRow;
    }
    Paragraph(dc, Text(IDS_OUTRO), y + kRow / 2, width);
    SelectObject(dc, old);
    EndPaint(w, &ps);
}

LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint(w);
        return 0;
    case WM_CLOSE:
        if (HWND service = FindWindowA("VNDaemon", "VNDaemon")) PostMessageA(service, WM_COMMAND, kAppExit, 0);
        DestroyWindow(w);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

HFONT Font(int weight) {
    return CreateFontW(-15, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    g_font = Font(FW_NORMAL);
    g_bold = Font(FW_BOLD);
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"VnTryTheKeys";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, Text(IDS_TITLE).c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                             60, 60, 960, 340, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    ShowWindow(w, show == SW_HIDE ? SW_SHOWNORMAL : show);
    SetForegroundWindow(w);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteObject(g_font);
    DeleteObject(g_bold);
    return 0;
}
