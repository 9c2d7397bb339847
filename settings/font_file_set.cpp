#include "settings/font_file_set.h"

#include <algorithm>

namespace glyphmill {

const FontFile* FontFileSet::add(const std::string& path, std::string* error) {
  const std::string absolute = AbsoluteFontPath(path);
  for (const FontFile& file : files_)
    if (file.path == absolute) return &file;
  FontFile file;
  if (!AddApplicationFont(absolute, &file, error)) return nullptr;
  // A file that is here now replaces what was remembered missing for its families.
  std::erase_if(missing_, [&file](const Missing& m) { return file.faceOfFamily(m.family) >= 0; });
  files_.push_back(std::move(file));
  return &files_.back();
}

void FontFileSet::rememberMissing(const std::string& family, FontFileReference reference) {
  std::erase_if(missing_, [&family](const Missing& m) { return m.family == family; });
  missing_.push_back({family, std::move(reference)});
}

const FontFile* FontFileSet::fileOf(const std::string& family) const {
  // The file added first, as fontconfig's match picks it when two files carry the same family.
  for (const FontFile& file : files_)
    if (file.faceOfFamily(family) >= 0) return &file;
  return nullptr;
}

std::optional<FontFileReference> FontFileSet::referenceFor(const std::string& family) const {
  if (const FontFile* file = fileOf(family)) return FontFileReference{file->path, file->faceOfFamily(family)};
  for (const Missing& m : missing_)
    if (m.family == family) return m.reference;
  return std::nullopt;
}

std::vector<std::string> FontFileSet::families() const {
  std::vector<std::string> names;
  for (const FontFile& file : files_)
    for (const std::string& family : file.families())
      if (std::find(names.begin(), names.end(), family) == names.end()) names.push_back(family);
  return names;
}

}  // namespace glyphmill
