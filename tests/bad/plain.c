/* A program linked without NX compatibility: the deliverables check must refuse it. */
int main(void) { return 0; }
