#include "plugins/common/page_file_name.h"

#include <filesystem>

namespace glyphmill::plugins {

PageFile PageFileFor(const std::string& descriptorPath, std::size_t page, std::size_t pageCount) {
  const std::filesystem::path descriptor(descriptorPath);
  std::string base = descriptor.stem().string();
  for (char& c : base) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '"') c = '_';
  }
  std::string number = std::to_string(page);
  const std::size_t digits = std::to_string(pageCount > 0 ? pageCount - 1 : 0).size();
  if (number.size() < digits) number.insert(0, digits - number.size(), '0');
  PageFile file;
  file.relativeName = base + "_" + number + ".png";
  file.path = (descriptor.parent_path() / file.relativeName).string();
  return file;
}

}  // namespace glyphmill::plugins
