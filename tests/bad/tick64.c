/* Imports a KERNEL32 function that Windows Vista brought: the deliverables check must refuse it. */
__declspec(dllimport) unsigned long long __stdcall GetTickCount64(void);
int main(void) { return (int)(GetTickCount64() & 1); }
