// The font catalogue: every installed font family once, plus "Default", sorted without regard to
// case, with the TrueType flag of each entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphmill {

struct FontCatalogueEntry {
  std::string name;
  int32_t kindIcon = 2;  // 0 for a TrueType font, 2 for any other
};

struct FontCatalogue {
  std::vector<FontCatalogueEntry> entries;
  int preselectedIndex = 0;  // the entry named exactly "Arial", else 0
};

// Lists the families through fontconfig (which reads its cache; no font file is opened).
FontCatalogue BuildFontCatalogue();

}  // namespace glyphmill
