// Compiled by the layering tests with one layer's include directories: GLYPHMILL_PROBE_HEADER is
// the header the test asks for, given as a quoted path ("export/export_run.h").
#include GLYPHMILL_PROBE_HEADER

int main() { return 0; }
