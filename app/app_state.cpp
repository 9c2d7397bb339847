#include "app/app_state.h"

#include <unistd.h>

#include <filesystem>

namespace glyphmill {

std::string VersionedName(const std::string& name) {
  return name + " " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

std::string ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace glyphmill
