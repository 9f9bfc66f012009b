// A versioned file for the copy tests (built once per version) that can also hold a file open:
// "holder PATH" opens PATH without sharing, writes PATH.held and waits to be ended.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 0;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    HANDLE held = CreateFileA((std::string(argv[1]) + ".held").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    CloseHandle(held);
    Sleep(INFINITE);
    return 0;
}
