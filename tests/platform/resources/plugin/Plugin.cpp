// A plug-in for the resource tests: it exports one function so that the
// tests can see it is loaded; its resources come from the build.
extern "C" __attribute__((visibility("default"))) int TwlResourcePluginAnswer() { return 42; }
