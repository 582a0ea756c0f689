// Leaks of system libraries the windowing tests load, which are not ours to
// fix: fontconfig keeps its configuration for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
