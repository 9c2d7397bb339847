#include "settings/program_folder.h"

#include <filesystem>
#include <system_error>

namespace glyphmill {

std::string RunningProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

}  // namespace glyphmill
