/* The shared object the module tests load. */
__attribute__((visibility("default"))) int TwlTestModuleAnswer(void) { return 42; }
