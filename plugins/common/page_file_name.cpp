#include "plugins/common/page_file_name.h"

#include <filesystem>

namespace glyphmill::plugins {

PageFile PageFileFor(const std::string& descriptorPath) {
  const std::filesystem::path descriptor(descriptorPath);
  std::string base = descriptor.stem().string();
  for (char& c : base) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '"') c = '_';
  }
  PageFile page;
  page.relativeName = base + "_0.png";
  page.path = (descriptor.parent_path() / page.relativeName).string();
  return page;
}

}  // namespace glyphmill::plugins
