// The font catalogue: every installed font family once, plus "Default", sorted without regard to
// case, with the TrueType flag of each entry. Families of font files added as application fonts
// (settings/font_files.h) are listed among them and marked as coming from a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphmill {

struct FontCatalogueEntry {
  std::string name;
  int32_t kindIcon = 2;   // 0 for a TrueType font, 2 for any other
  bool fromFile = false;  // the family came from a font file the session added
};

struct FontCatalogue {
  std::vector<FontCatalogueEntry> entries;
  int preselectedIndex = 0;  // the entry named exactly "Arial", else 0
};

// Lists the families through fontconfig (which reads its cache; no font file is opened) and marks
// those named in `fileFamilies`.
FontCatalogue BuildFontCatalogue(const std::vector<std::string>& fileFamilies = {});

}  // namespace glyphmill
