#include "project/file_extension.h"

#include "project/project_layout.h"

namespace glyphmill {

std::string ReplaceFileExtension(std::string_view path, std::string_view extension) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  std::string_view stem = path;
  if (dot != std::string_view::npos && dot > nameStart) stem = path.substr(0, dot);
  std::string out(stem);
  out += '.';
  out += extension;
  return out;
}

std::string ForceProjectExtension(std::string_view path) {
  return ReplaceFileExtension(path, std::string_view(kProjectExtension).substr(1));
}

}  // namespace glyphmill
