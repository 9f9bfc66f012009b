/* A library that is neither a Windows system DLL nor one of the system's own. */
__declspec(dllexport) int NotSystem(void) { return 1; }
