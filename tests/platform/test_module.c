/* A library for the module tests: one known export. */
int TzmTestModuleAnswer(void) { return 42; }
