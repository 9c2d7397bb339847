// The folder of the running executable, read from /proc/self/exe: where the build folder or the
// installed tree's bin/ lies, which every installed location is found from.
#pragma once

#include <string>

namespace glyphmill {

// Absolute, without a trailing "/"; empty when the kernel does not say.
std::string RunningProgramFolder();

}  // namespace glyphmill
