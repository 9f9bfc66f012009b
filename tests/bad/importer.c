/* Imports from a library outside the allowed set: the deliverables check must refuse it. */
__declspec(dllimport) int NotSystem(void);
int main(void) { return NotSystem(); }
