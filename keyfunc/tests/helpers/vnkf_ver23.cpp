// A library that carries only a version resource (vnkf_ver23.rc) for the version tests.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
