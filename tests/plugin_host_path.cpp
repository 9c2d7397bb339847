// Test programs are not built beside glyphmill-plugin-host: this names the built one through
// GLYPHMILL_PLUGIN_HOST before main runs, unless the environment names one already.
#include <cstdlib>

namespace {
const int kNamed = ::setenv("GLYPHMILL_PLUGIN_HOST", GLYPHMILL_TEST_PLUGIN_HOST, 0);
}  // namespace
