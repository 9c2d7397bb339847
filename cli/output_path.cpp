#include "cli/output_path.h"

#include <filesystem>
#include <system_error>

namespace glyphmill::cli {

std::string OutputPathFor(const std::string& output) {
  std::error_code ec;
  if (!output.empty() && output.back() == '/') return output + kFolderOutputName;
  if (std::filesystem::is_directory(output, ec)) return output + "/" + kFolderOutputName;
  return output;
}

Result<void> CreateParentFolder(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) return {};
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!ec && std::filesystem::is_directory(folder, ec)) return {};
  if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
  return Fail("cannot create the folder \"" + folder.string() + "\": " + ec.message());
}

}  // namespace glyphmill::cli
