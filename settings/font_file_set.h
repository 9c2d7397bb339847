// FontFileSet: the font files a session has added, and which catalogue families came from them.
//
// Besides the files that were read, it remembers a font file that a project named but that is not
// there (under the project's font name), so that saving the project again keeps the reference.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/font_files.h"

namespace glyphmill {

// A font file as a project names it: its path and the face the project uses.
struct FontFileReference {
  std::string path;
  int32_t faceIndex = 0;
  bool operator==(const FontFileReference&) const = default;
};

class FontFileSet {
 public:
  // Reads `path` and adds it as an application font (once: a file already added is not added
  // again). The added (or already known) file, or nullptr with a message; nothing changes then.
  const FontFile* add(const std::string& path, std::string* error);

  // Remembers a missing font file named for `family`.
  void rememberMissing(const std::string& family, FontFileReference reference);

  // The file a family came from, or nullptr.
  const FontFile* fileOf(const std::string& family) const;
  bool fromFile(const std::string& family) const { return fileOf(family) != nullptr; }

  // What a project stores for a family: its file and face, a remembered missing file, or nothing
  // for an installed family.
  std::optional<FontFileReference> referenceFor(const std::string& family) const;

  // Every family that came from a file, in the order the files were added.
  std::vector<std::string> families() const;
  const std::vector<FontFile>& files() const { return files_; }

 private:
  struct Missing {
    std::string family;
    FontFileReference reference;
  };
  std::vector<FontFile> files_;
  std::vector<Missing> missing_;
};

}  // namespace glyphmill
