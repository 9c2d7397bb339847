#include "settings/font_catalogue.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "settings/font_face.h"

namespace glyphmill {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsTrueType(FcPattern* p) {
  FcChar8* format = nullptr;
  return FcPatternGetString(p, FC_FONTFORMAT, 0, &format) == FcResultMatch && format &&
         std::strcmp(reinterpret_cast<const char*>(format), "TrueType") == 0;
}

// How far a face is from the family's regular upright face; the closest one stands for the family,
// as a match for the bare family name would pick it.
int DistanceFromRegular(FcPattern* p) {
  int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(p, FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(p, FC_SLANT, 0, &slant);
  return std::abs(weight - FC_WEIGHT_REGULAR) + (slant != FC_SLANT_ROMAN ? 1000 : 0);
}

// What the catalogue keeps of a family: whether its face closest to the regular upright one is
// TrueType.
struct Family {
  bool trueType = false;
  int distance = 1 << 30;
};

// Every family fontconfig lists, under its first name (a family with several names, localised ones,
// is listed under the first).
std::map<std::string, Family> ListFamilies() {
  std::map<std::string, Family> families;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, FC_WEIGHT, FC_SLANT, nullptr);
  FcFontSet* set = (pattern && objects) ? FcFontList(nullptr, pattern, objects) : nullptr;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FcChar8* family = nullptr;
    if (FcPatternGetString(p, FC_FAMILY, 0, &family) != FcResultMatch || !family || !*family) continue;
    Family& f = families[reinterpret_cast<const char*>(family)];
    const int d = DistanceFromRegular(p);
    if (d < f.distance) {
      f.distance = d;
      f.trueType = IsTrueType(p);
    }
  }
  if (set) FcFontSetDestroy(set);
  if (objects) FcObjectSetDestroy(objects);
  if (pattern) FcPatternDestroy(pattern);
  return families;
}

// Whether the file the system's default font resolves to is TrueType.
bool DefaultFontIsTrueType() {
  ResolvedFont resolved;
  std::string ignored;
  return ResolveFont(FontRequest{kDefaultFontName, 10, false, false}, &resolved, &ignored) && resolved.trueType;
}

}  // namespace

FontCatalogue BuildFontCatalogue(const std::vector<std::string>& fileFamilies) {
  const std::map<std::string, Family> families = ListFamilies();
  FontCatalogue catalogue;
  for (const auto& [name, f] : families) catalogue.entries.push_back({name, f.trueType ? 0 : 2});
  if (!families.count(kDefaultFontName))
    catalogue.entries.push_back({kDefaultFontName, DefaultFontIsTrueType() ? 0 : 2});
  std::stable_sort(
      catalogue.entries.begin(), catalogue.entries.end(),
      [](const FontCatalogueEntry& a, const FontCatalogueEntry& b) { return Lower(a.name) < Lower(b.name); });
  for (FontCatalogueEntry& entry : catalogue.entries)
    entry.fromFile = std::find(fileFamilies.begin(), fileFamilies.end(), entry.name) != fileFamilies.end();
  for (size_t i = 0; i < catalogue.entries.size(); ++i) {
    if (catalogue.entries[i].name == "Arial") catalogue.preselectedIndex = static_cast<int>(i);
  }
  return catalogue;
}

}  // namespace glyphmill
