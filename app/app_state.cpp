#include "app/app_state.h"

namespace glyphmill {

std::string VersionedName(const std::string& name) {
  return name + " " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

}  // namespace glyphmill
